#include "surface/RetiredDisplayLists.h"

#include <utility>

void RetiredDisplayLists::Retire(std::int32_t list)
{
    if (list == -1) return;
    LockGuard guard(lock_);
    lists_.push_back(list);
}

std::vector<std::int32_t> RetiredDisplayLists::Take()
{
    LockGuard guard(lock_);
    return std::exchange(lists_, {});
}
