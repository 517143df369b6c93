// Board-driver registry: MAINBD_OEM_TYPE -> factory. The protocol objects create their board
// drivers through it; tests register fakes in place of the default drivers.
#pragma once

#include <functional>

#include "Em_OemBoard.h"

namespace Brevan2011 {
namespace BVParse {

typedef std::function<Em_OemBoard*()> Board_Factory;

// The driver for a type (1-8): the registered factory when there is one, else the default
// driver. Null for any other type or when the allocation fails.
Em_OemBoard* Create_Board(int type);
// Registers a factory for a type and returns the one it replaces; an empty factory removes the
// registration so the default applies again.
Board_Factory Register_Board(int type, Board_Factory factory);
// Removes every registration.
void Reset_Board_Registry();
// The default driver of each type, as the library ships it.
Em_OemBoard* Create_Default_Board(int type);

// Registers a factory for the lifetime of the object (tests).
class Scoped_Board_Registration {
public:
    Scoped_Board_Registration(int type, Board_Factory factory)
        : m_type(type), m_previous(Register_Board(type, std::move(factory))) {}
    ~Scoped_Board_Registration() { Register_Board(m_type, m_previous); }
    Scoped_Board_Registration(const Scoped_Board_Registration&) = delete;
    Scoped_Board_Registration& operator=(const Scoped_Board_Registration&) = delete;

private:
    int m_type;
    Board_Factory m_previous;
};

}  // namespace BVParse
}  // namespace Brevan2011
