#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace varnok_test {

// Sentinel-filled arguments for any parameter type of the session's rows: each converts to
// a reference to a per-type object filled with 0xA5 bytes (true for bool, one 0xA5 element
// for a vector); pointers point into a 64 KiB sentinel buffer. unchanged() tells whether
// every one of them still holds its sentinel.
class RowArgs {
public:
    static constexpr unsigned char kFill = 0xA5;

    struct Arg {
        template <class T>
        operator T&() const {
            return RowArgs::sentinel<std::remove_const_t<T>>();
        }
    };

    static bool unchanged() {
        for (auto& check : checks()) {
            if (!check.second()) {
                return false;
            }
        }
        return allFill(buffer().data(), buffer().size() - 1);
    }

    // Ends in a zero byte, so a text argument read on an open session stays in bounds.
    static std::vector<unsigned char>& buffer() {
        static std::vector<unsigned char> b = [] {
            std::vector<unsigned char> v(65536, kFill);
            v.back() = 0;
            return v;
        }();
        return b;
    }

    template <class T>
    static T& sentinel() {
        static T value;
        static const bool registered = [] {
            fill(value);
            checks().push_back({typeid(T).name(), [] { return filled(value); }});
            return true;
        }();
        (void)registered;
        return value;
    }

private:
    template <class T>
    struct IsVector : std::false_type {};
    template <class U, class A>
    struct IsVector<std::vector<U, A>> : std::true_type {};

    static bool allFill(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) {
            if (b[i] != kFill) {
                return false;
            }
        }
        return true;
    }

    // Filled in place, so padding bytes hold the sentinel too.
    template <class T>
    static void fill(T& v) {
        if constexpr (std::is_same_v<T, bool>) {
            v = true;
        } else if constexpr (std::is_pointer_v<T>) {
            v = reinterpret_cast<T>(buffer().data());
        } else if constexpr (IsVector<T>::value) {
            v.resize(1);
            std::memset(static_cast<void*>(v.data()), kFill, sizeof(v[0]));
        } else if constexpr (std::is_trivially_copyable_v<T>) {
            std::memset(static_cast<void*>(&v), kFill, sizeof v);
        }
    }

    template <class T>
    static bool filled(const T& v) {
        if constexpr (std::is_same_v<T, bool>) {
            return v;
        } else if constexpr (std::is_pointer_v<T>) {
            return reinterpret_cast<const void*>(v) == buffer().data();
        } else if constexpr (IsVector<T>::value) {
            return v.size() == 1 && allFill(v.data(), sizeof(v[0]));
        } else if constexpr (std::is_trivially_copyable_v<T>) {
            return allFill(&v, sizeof v);
        } else {
            return true;
        }
    }

    static std::vector<std::pair<std::string, std::function<bool()>>>& checks() {
        static std::vector<std::pair<std::string, std::function<bool()>>> c;
        return c;
    }
};

// One row: its name and a call of it through a member pointer of the row's exact type.
template <class S>
struct RowCall {
    std::string name;
    std::function<bool(S&)> call;  // true when the result is 0 / false / null (or void)
};

template <class R>
struct ZeroResult {
    template <class F>
    static bool run(F&& f) {
        return f() == R();
    }
};
template <>
struct ZeroResult<void> {
    template <class F>
    static bool run(F&& f) {
        f();
        return true;
    }
};

}  // namespace varnok_test
