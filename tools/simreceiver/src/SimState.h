// The simulated receiver's scripted state: a fixed set of keys, each with a default and a kind
// that its values must parse as.
#pragma once

#include <map>
#include <string>

namespace varnok_sim {

class SimState {
public:
    SimState();

    bool set(const std::string& key, const std::string& value, std::string* error);
    // "" for an unknown key.
    std::string get(const std::string& key) const;
    // Every key with its value, as set (empty texts stay empty).
    const std::map<std::string, std::string>& all() const { return values_; }

    long number(const std::string& key) const;
    double real(const std::string& key) const;
    const std::string& text(const std::string& key) const;

    bool newProtocol() const { return text("protocol") == "new"; }
    // The firmware and model texts: scripted, or the protocol's default when left empty.
    std::string firmware() const;
    std::string model() const;

    // The answer controls: true when the answers to a request of that name are dropped
    // ("drop"), and the extra delay of its answers in ms ("late").
    bool dropsAnswerTo(const std::string& request) const;
    long lateMsFor(const std::string& request) const;

private:
    std::map<std::string, std::string> values_;
};

}  // namespace varnok_sim
