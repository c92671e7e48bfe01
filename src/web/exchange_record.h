// ExchangeRecord: the eight byte strings that are all the native request path passes
// between the window thread and its worker, and their form in the stream between them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qovra::web {

struct ExchangeRecord {
  // Caller -> worker / worker -> caller:
  enum Item {
    kUrl = 0,           // URL / reply body
    kMethod = 1,        // "POST" or "GET" / reply cookies
    kProxy = 2,
    kHeaders = 3,       // request header lines
    kBody = 4,          // request body
    kCookies = 5,       // cookies to send / raw reply headers
    kForbidRedirects = 6,  // "真" or "假"
    kTimeoutMs = 7,     // decimal text
  };
  static constexpr int kReplyBody = kUrl;
  static constexpr int kReplyCookies = kMethod;
  static constexpr int kReplyHeaders = kCookies;

  std::array<std::string, 8> items;
};

inline constexpr std::string_view kWordTrue = "真";
inline constexpr std::string_view kWordFalse = "假";

// Each item as its decimal byte count, ":", then its bytes.
std::string serialiseExchangeRecord(const ExchangeRecord& record);
// The items a stream holds, the missing ones empty; nullopt when the stream is damaged
// (a bad count, an item running past the end) or holds more than eight items.
std::optional<ExchangeRecord> parseExchangeRecord(std::string_view stream);

}  // namespace qovra::web
