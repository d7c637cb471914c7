#include "archive/entry_list.h"

#include <algorithm>
#include <utility>

#include "archive/brask_exception.h"

namespace grix {
namespace {
constexpr std::size_t kMaxGrowthStep = 10000;
}  // namespace

void TBraskDirArray::RaiseIndexError(int code) const {
    throw EBraskException(owner_name_ ? *owner_name_ : std::string(), code);
}

// Grows in steps that double (1000, 2000, ... at most 10000 entries) so
// that a large folder does not reallocate the list for every entry.
void TBraskDirArray::EnsureCapacity(std::size_t needed) {
    if (needed <= items_.capacity()) return;
    growth_step_ = std::min(growth_step_ * 2, kMaxGrowthStep);
    items_.reserve(std::max(items_.capacity() + growth_step_, needed));
}

void TBraskDirArray::SetCount(int count) {
    if (count < 0) RaiseIndexError(brask_code::kIndexPut);
    name_index_stale_ = true;
    if (count == 0) {
        std::vector<TBraskDirItem>().swap(items_);
        growth_step_ = 500;
        return;
    }
    EnsureCapacity(static_cast<std::size_t>(count));
    items_.resize(static_cast<std::size_t>(count));
}

TBraskDirItem& TBraskDirArray::Item(int index) {
    if (index < 0 || index >= Count()) RaiseIndexError(brask_code::kIndexGet);
    return items_[static_cast<std::size_t>(index)];
}

const TBraskDirItem& TBraskDirArray::Item(int index) const {
    if (index < 0 || index >= Count()) RaiseIndexError(brask_code::kIndexGet);
    return items_[static_cast<std::size_t>(index)];
}

void TBraskDirArray::Put(int index, TBraskDirItem item) {
    if (index < 0 || index >= Count()) RaiseIndexError(brask_code::kIndexPut);
    items_[static_cast<std::size_t>(index)] = std::move(item);
    name_index_stale_ = true;
}

int TBraskDirArray::Add(TBraskDirItem item) {
    EnsureCapacity(items_.size() + 1);
    items_.push_back(std::move(item));
    if (!name_index_stale_) name_index_.emplace(items_.back().stored_name, Count() - 1);
    return Count() - 1;
}

void TBraskDirArray::Insert(int index, TBraskDirItem item) {
    if (index < 0 || index > Count()) RaiseIndexError(brask_code::kIndexInsert);
    EnsureCapacity(items_.size() + 1);
    items_.insert(items_.begin() + index, std::move(item));
    name_index_stale_ = true;
}

void TBraskDirArray::Delete(int index) {
    if (index < 0 || index >= Count()) RaiseIndexError(brask_code::kIndexDelete);
    items_.erase(items_.begin() + index);
    name_index_stale_ = true;
}

int TBraskDirArray::IndexOfName(const std::string& stored_name) const {
    if (name_index_stale_) {
        name_index_.clear();
        for (std::size_t i = 0; i < items_.size(); ++i) {
            name_index_.emplace(items_[i].stored_name, static_cast<int>(i));
        }
        name_index_stale_ = false;
    }
    const auto found = name_index_.find(stored_name);
    return found == name_index_.end() ? -1 : found->second;
}

}  // namespace grix
