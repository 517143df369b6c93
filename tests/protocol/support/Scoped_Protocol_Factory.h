// Installs a protocol-object factory in Em_Gnss for the lifetime of the object.
#pragma once

#include <utility>

#include "BVParse/Em_Gnss.h"

namespace Brevan2011 {
namespace BVParse {
namespace testing_support {

class Scoped_Protocol_Factory {
public:
    explicit Scoped_Protocol_Factory(Em_Protocol_Factory factory)
        : m_previous(Em_Gnss::Set_Protocol_Factory(std::move(factory))) {}
    ~Scoped_Protocol_Factory() { Em_Gnss::Set_Protocol_Factory(std::move(m_previous)); }
    Scoped_Protocol_Factory(const Scoped_Protocol_Factory&) = delete;
    Scoped_Protocol_Factory& operator=(const Scoped_Protocol_Factory&) = delete;

private:
    Em_Protocol_Factory m_previous;
};

}  // namespace testing_support
}  // namespace BVParse
}  // namespace Brevan2011
