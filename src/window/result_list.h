// The drop-down list of search results under the search box (the tree view 树型框).
#pragma once

namespace qovra {

// The result list becomes invisible; its items stay until the next search.
void hideResultList();

}  // namespace qovra
