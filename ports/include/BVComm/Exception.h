#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace Brevan2011 {
namespace BVCore {

// Carries a list of texts and a list of source locations; it can be written to one character
// at a time, each newline ending one text.
class Exception {
public:
    struct Location {
        std::string first;
        std::string second;
        int line = 0;
    };

    Exception() = default;
    Exception(const std::string& text, const int* code, const int* secondCode);

    int code() const { return code_; }
    int secondCode() const { return secondCode_; }

    std::size_t textCount() const { return texts_.size(); }
    std::size_t locationCount() const { return locations_.size(); }
    std::string text(std::size_t index) const;
    Location location(std::size_t index) const;

    void addText(const std::string& text);
    void addLocation(const std::string& first, const std::string& second, int line);

    int putChar(int ch);

    void dump(std::ostream& out) const;
    std::string toString() const;

private:
    int code_ = 0;
    std::vector<Location> locations_;
    int secondCode_ = 0;
    std::vector<std::string> texts_;
    std::string line_;
};

std::ostream& operator<<(std::ostream& out, const Exception& e);

}  // namespace BVCore
}  // namespace Brevan2011
