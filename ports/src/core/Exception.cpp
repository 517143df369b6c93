#include "BVComm/Exception.h"

#include <sstream>

namespace Brevan2011 {
namespace BVCore {

Exception::Exception(const std::string& text, const int* code, const int* secondCode)
    : code_(code != nullptr ? *code : 0), secondCode_(secondCode != nullptr ? *secondCode : 0) {
    texts_.push_back(text);
}

std::string Exception::text(std::size_t index) const {
    return index < texts_.size() ? texts_[index] : std::string();
}

Exception::Location Exception::location(std::size_t index) const {
    return index < locations_.size() ? locations_[index] : Location();
}

void Exception::addText(const std::string& text) {
    texts_.push_back(text);
}

void Exception::addLocation(const std::string& first, const std::string& second, int line) {
    locations_.push_back(Location{first, second, line});
}

int Exception::putChar(int ch) {
    if (ch == '\n' || ch == 0) {
        if (!line_.empty()) {
            texts_.push_back(line_);
            line_.clear();
        }
    } else {
        line_.push_back(static_cast<char>(ch));
    }
    return ch;
}

void Exception::dump(std::ostream& out) const {
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        out << "text " << i << ":" << texts_[i] << "\n";
    }
    for (std::size_t i = 0; i < locations_.size(); ++i) {
        const Location& l = locations_[i];
        out << "location " << i << ":" << l.first << ":" << l.second << ":" << l.line << "\n";
    }
}

std::string Exception::toString() const {
    std::ostringstream out;
    dump(out);
    return out.str();
}

std::ostream& operator<<(std::ostream& out, const Exception& e) {
    e.dump(out);
    return out;
}

}  // namespace BVCore
}  // namespace Brevan2011
