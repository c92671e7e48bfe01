#include "web/exchange_record.h"

#include <charconv>

namespace qovra::web {

std::string serialiseExchangeRecord(const ExchangeRecord& record) {
  std::string stream;
  for (const std::string& item : record.items) {
    stream += std::to_string(item.size());
    stream += ':';
    stream += item;
  }
  return stream;
}

std::optional<ExchangeRecord> parseExchangeRecord(std::string_view stream) {
  ExchangeRecord record;
  std::size_t index = 0;
  while (!stream.empty()) {
    if (index == record.items.size()) return std::nullopt;
    const std::size_t colon = stream.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 20) return std::nullopt;
    std::size_t size = 0;
    const auto [end, error] = std::from_chars(stream.data(), stream.data() + colon, size);
    if (error != std::errc() || end != stream.data() + colon) return std::nullopt;
    stream.remove_prefix(colon + 1);
    if (size > stream.size()) return std::nullopt;
    record.items[index++] = std::string(stream.substr(0, size));
    stream.remove_prefix(size);
  }
  return record;
}

}  // namespace qovra::web
