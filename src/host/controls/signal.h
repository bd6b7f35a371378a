// Subscriptions for the control models: a model owns a Signal per kind of
// news (what changed for a view, what the user did for the window logic) and
// callers subscribe with a std::function. A Subscription ends the link when it
// is destroyed or reset, and is safe to outlive the model.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace orva {

namespace detail {
// The part of a signal that a Subscription can reach after the signal is gone.
class SignalCore {
  public:
    virtual ~SignalCore() = default;
    virtual void Disconnect(std::size_t id) = 0;
};
}  // namespace detail

// Holds one link to a signal; moving keeps it, destruction or Reset ends it.
class Subscription {
  public:
    Subscription() = default;
    Subscription(std::weak_ptr<detail::SignalCore> core, std::size_t id)
        : core_(std::move(core)), id_(id) {}
    Subscription(Subscription&& other) noexcept
        : core_(std::move(other.core_)), id_(std::exchange(other.id_, 0)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            Reset();
            core_ = std::move(other.core_);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { Reset(); }

    void Reset() {
        if (auto core = core_.lock())
            core->Disconnect(id_);
        core_.reset();
        id_ = 0;
    }
    bool Connected() const { return id_ != 0 && !core_.expired(); }

  private:
    std::weak_ptr<detail::SignalCore> core_;
    std::size_t id_ = 0;
};

// Calls every subscriber in the order of subscription. A subscriber may
// subscribe or unsubscribe (itself or others) while being called: a removed
// subscriber is not called again, a new one is called from the next Emit on.
template <class... Args>
class Signal {
  public:
    Signal() : core_(std::make_shared<Core>()) {}
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    [[nodiscard]] Subscription Subscribe(std::function<void(Args...)> fn) {
        const std::size_t id = ++core_->lastId;
        core_->slots.push_back({id, std::make_shared<std::function<void(Args...)>>(std::move(fn))});
        return Subscription(core_, id);
    }

    void Emit(Args... args) const {
        // Keep the core alive even if a subscriber destroys the model.
        std::shared_ptr<Core> core = core_;
        const std::size_t count = core->slots.size();
        ++core->depth;
        for (std::size_t i = 0; i < count && i < core->slots.size(); ++i) {
            auto fn = core->slots[i].fn;  // the slot vector may grow while fn runs
            if (fn && *fn)
                (*fn)(args...);
        }
        if (--core->depth == 0)
            core->Compact();
    }

    std::size_t SubscriberCount() const {
        std::size_t n = 0;
        for (const auto& s : core_->slots) n += s.fn ? 1 : 0;
        return n;
    }

  private:
    struct Slot {
        std::size_t id;
        std::shared_ptr<std::function<void(Args...)>> fn;
    };
    struct Core : detail::SignalCore {
        std::vector<Slot> slots;
        std::size_t lastId = 0;
        int depth = 0;
        void Disconnect(std::size_t id) override {
            for (auto& s : slots) {
                if (s.id == id)
                    s.fn.reset();
            }
            if (depth == 0)
                Compact();
        }
        void Compact() {
            std::erase_if(slots, [](const Slot& s) { return !s.fn; });
        }
    };
    std::shared_ptr<Core> core_;
};

}  // namespace orva
