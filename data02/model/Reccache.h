#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data02/diag/Memory.h"
#include "data02/diag/Status.h"

namespace qff {

// Every record object of one kind for the open season, loaded once: the list
// that owns them in load order and the ordered indexes that queries select on.
// T supplies its kinds (kKind, kListKind, kIntMapKind, kStrMapKind), the codes
// it is indexed by (kIntIndexCodes, kTextIndexCodes) and indexValue/indexText.
template <class T>
class RecordCache {
  public:
    using List = std::vector<T*>;
    using IntIndex = std::multimap<int, T*>;
    using TextIndex = std::multimap<std::string, T*>;

    explicit RecordCache(MyMemory& memory) : memory_(memory) {}
    RecordCache(const RecordCache&) = delete;
    RecordCache& operator=(const RecordCache&) = delete;

    // Releases every object and container of the kind.
    void release() {
        list_.reset();
        entries_.clear();
        intIndexes_.clear();
        textIndexes_.clear();
        objects_.clear();
        removed_.clear();
    }

    // Creates the empty list and indexes; objects come with adopt().
    void prepare(std::size_t expected = 0) {
        release();
        entries_.reserve(expected);
        list_ = memory_.make<List>(T::kListKind);
        list_->reserve(expected);
        for (int code : T::kIntIndexCodes) {
            intIndexes_.emplace(code, memory_.make<IntIndex>(T::kIntMapKind));
        }
        for (int code : T::kTextIndexCodes) {
            textIndexes_.emplace(code, memory_.make<TextIndex>(T::kStrMapKind));
        }
    }

    bool isReady() const { return static_cast<bool>(list_); }

    // Takes ownership of a loaded or newly stored object and indexes it.
    void adopt(Owned<T> object) {
        T* raw = object.get();
        objects_.push_back(std::move(object));
        list_->push_back(raw);
        index(raw);
    }

    // Re-files an object under its current keys after it was saved;
    // kNotCached, and nothing indexed, when the cache does not hold it.
    int rekey(T* object) {
        if (!unindex(object)) {
            return kNotCached;
        }
        index(object);
        return kOk;
    }

    // Forgets an object; it stays alive until the kind is released, so
    // pointers that callers still hold never dangle.
    int forget(T* object) {
        bool found = unindex(object);
        if (list_) {
            auto it = std::find(list_->begin(), list_->end(), object);
            if (it != list_->end()) {
                list_->erase(it);
                found = true;
            }
        }
        auto owned = std::find_if(objects_.begin(), objects_.end(),
                                  [object](const Owned<T>& o) { return o.get() == object; });
        if (owned != objects_.end()) {
            removed_.push_back(std::move(*owned));
            objects_.erase(owned);
        }
        return found ? kOk : kNotCached;
    }

    const List& list() const { return list_ ? *list_ : empty_; }
    std::size_t size() const { return list().size(); }

    const IntIndex* intIndex(int code) const {
        auto it = intIndexes_.find(code);
        return it == intIndexes_.end() ? nullptr : it->second.get();
    }
    const TextIndex* textIndex(int code) const {
        auto it = textIndexes_.find(code);
        return it == textIndexes_.end() ? nullptr : it->second.get();
    }

    // For each value in order, every object with exactly that key, in index order.
    List selectByValues(int code, std::span<const int> values) const {
        List result;
        if (const IntIndex* idx = intIndex(code)) {
            for (int value : values) {
                auto [first, last] = idx->equal_range(value);
                for (auto it = first; it != last; ++it) {
                    result.push_back(it->second);
                }
            }
        }
        return result;
    }

    List selectByText(int code, std::string_view text) const {
        List result;
        if (const TextIndex* idx = textIndex(code)) {
            auto [first, last] = idx->equal_range(std::string(text));
            for (auto it = first; it != last; ++it) {
                result.push_back(it->second);
            }
        }
        return result;
    }

    T* findFirst(int code, int value) const {
        int values[] = {value};
        List found = selectByValues(code, values);
        return found.empty() ? nullptr : found.front();
    }

    T* findFirst(int code, std::string_view text) const {
        List found = selectByText(code, text);
        return found.empty() ? nullptr : found.front();
    }

    // A new list of the caller's, tracked like every container.
    Owned<List> copyList(const List& from,
                         std::source_location where = std::source_location::current()) const {
        Owned<List> list = memory_.make<List>(Site(T::kListKind, where));
        if (list) {
            *list = from;
        }
        return list;
    }

  private:
    // Where an object stands in each index, so re-keying and removal find its
    // entries at once instead of walking every index.
    struct Entries {
        std::array<typename IntIndex::iterator, T::kIntIndexCodes.size()> ints;
        std::array<typename TextIndex::iterator, T::kTextIndexCodes.size()> texts;
    };

    void index(T* object) {
        Entries& entries = entries_[object];
        std::size_t i = 0;
        for (auto& [code, idx] : intIndexes_) {
            entries.ints[i++] = idx->emplace(object->indexValue(code), object);
        }
        i = 0;
        for (auto& [code, idx] : textIndexes_) {
            entries.texts[i++] = idx->emplace(object->indexText(code), object);
        }
    }

    bool unindex(T* object) {
        auto found = entries_.find(object);
        if (found == entries_.end()) {
            return false;
        }
        std::size_t i = 0;
        for (auto& [code, idx] : intIndexes_) {
            idx->erase(found->second.ints[i++]);
        }
        i = 0;
        for (auto& [code, idx] : textIndexes_) {
            idx->erase(found->second.texts[i++]);
        }
        entries_.erase(found);
        return true;
    }

    MyMemory& memory_;
    std::vector<Owned<T>> objects_;
    std::vector<Owned<T>> removed_;
    Owned<List> list_;
    std::map<int, Owned<IntIndex>> intIndexes_;
    std::map<int, Owned<TextIndex>> textIndexes_;
    std::unordered_map<const T*, Entries> entries_;
    List empty_;
};

// Orders a list by `less`, but only within runs of consecutive elements that
// `sameRun` calls equal, the runs keeping their places. Descending order is
// the exact reverse of ascending, ties included.
template <class T, class Less, class SameRun>
void sortWithinRuns(std::vector<T*>& list, Less less, SameRun sameRun, bool descending) {
    auto runStart = list.begin();
    while (runStart != list.end()) {
        auto runEnd = std::find_if(runStart, list.end(),
                                   [&](const T* item) { return !sameRun(*runStart, item); });
        std::stable_sort(runStart, runEnd, less);
        if (descending) {
            std::reverse(runStart, runEnd);
        }
        runStart = runEnd;
    }
}

}  // namespace qff
