#pragma once
// Ordered list of shared references, walked in insertion order.
//
// A walk stays valid while the list changes under it: the element just visited
// (or any later one) may be removed, and elements appended during the walk are
// visited before it ends. Removal leaves an empty slot that walks skip; the
// slots are compacted, order kept, once no walk is running.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace flopkin {

// a number no list change has had before, in this run
inline std::uint64_t next_list_stamp() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

template <class T>
class object_list {
public:
    using ref = std::shared_ptr<T>;

    class iterator {
    public:
        iterator(object_list* list, std::size_t at) : list_(list), at_(at) { skip(); }
        const ref& operator*() const { return list_->slots_[at_]; }
        iterator& operator++() { ++at_; skip(); return *this; }
        // the end is re-read at every step, so appended elements are reached
        bool operator!=(const iterator&) const { return at_ < list_->slots_.size(); }
    private:
        void skip() { while (at_ < list_->slots_.size() && !list_->slots_[at_]) ++at_; }
        object_list* list_;
        std::size_t at_;
    };

    // A walk over the list; keeps removals from compacting the slots under it.
    class walk {
    public:
        explicit walk(object_list& list) : list_(list) { ++list_.walking_; }
        ~walk() { if (--list_.walking_ == 0) list_.compact(); }
        walk(const walk&) = delete;
        walk& operator=(const walk&) = delete;
        iterator begin() { return iterator(&list_, 0); }
        iterator end() { return iterator(&list_, 0); }
    private:
        object_list& list_;
    };

    object_list() = default;
    object_list(const object_list&) = delete;
    object_list& operator=(const object_list&) = delete;

    walk all() { return walk(*this); }

    void add_last(ref object) {
        slots_.push_back(std::move(object));
        ++live_;
        stamp_ = next_list_stamp();
    }

    // removes the first element that is this same object; nothing if absent
    void remove(const T* object) {
        for (auto& slot : slots_) {
            if (slot && slot.get() == object) {
                slot.reset();
                --live_;
                ++holes_;
                stamp_ = next_list_stamp();
                break;
            }
        }
        compact();
    }

    void clear() {
        for (auto& slot : slots_) slot.reset();
        holes_ += live_;
        live_ = 0;
        stamp_ = next_list_stamp();
        compact();
    }

    std::size_t count() const { return live_; }
    // changes whenever an element is added or removed, and is never the same
    // for two lists: a pass that keeps the list in arrays can tell whether
    // they still hold
    std::uint64_t stamp() const { return stamp_; }
    bool is_empty() const { return live_ == 0; }

    // Direct slot access for passes that gather the figure into arrays; slots
    // may be empty while a walk is running.
    std::size_t slot_count() const { return slots_.size(); }
    const ref& slot(std::size_t i) const { return slots_[i]; }

private:
    void compact() {
        if (walking_ > 0 || holes_ == 0) return;
        std::size_t to = 0;
        for (std::size_t from = 0; from < slots_.size(); ++from)
            if (slots_[from]) slots_[to++] = std::move(slots_[from]);
        slots_.resize(to);
        holes_ = 0;
    }

    std::vector<ref> slots_;
    std::size_t live_ = 0;
    std::size_t holes_ = 0;
    int walking_ = 0;
    std::uint64_t stamp_ = next_list_stamp();
};

}  // namespace flopkin
