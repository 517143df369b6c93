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

    long number(const std::string& key) const;
    double real(const std::string& key) const;
    const std::string& text(const std::string& key) const;

    bool newProtocol() const { return text("protocol") == "new"; }
    // The firmware and model texts: scripted, or the protocol's default when left empty.
    std::string firmware() const;
    std::string model() const;

private:
    std::map<std::string, std::string> values_;
};

}  // namespace varnok_sim
