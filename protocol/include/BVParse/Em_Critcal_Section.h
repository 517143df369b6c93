// A recursive lock and its scoped guard. The session keeps one for its command list and one
// for the parser state, and its handlers re-enter them from the data callback.
#pragma once

#include <mutex>

#include "BVParse/BVParseExport.h"

namespace Brevan2011 {
namespace BVParse {

class BVPARSE_API Em_Critcal_Section {
public:
    Em_Critcal_Section() = default;
    ~Em_Critcal_Section() = default;
    Em_Critcal_Section(const Em_Critcal_Section&) = delete;
    Em_Critcal_Section& operator=(const Em_Critcal_Section&) = delete;

    // Kept for the owners' set-up and tear-down calls; the mutex needs neither.
    void InitializeSection() {}
    void DeleteSection() {}
    // Blocks until free; the holding thread may enter again.
    void EnterSection() { m_mutex.lock(); }
    void LeaveSection() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};

// Holds the section from construction to destruction; a null section is allowed.
class BVPARSE_API Em_CrtSect_Lock {
public:
    explicit Em_CrtSect_Lock(Em_Critcal_Section* section) : m_section(section) {
        if (m_section != nullptr) {
            m_section->EnterSection();
        }
    }
    ~Em_CrtSect_Lock() {
        if (m_section != nullptr) {
            m_section->LeaveSection();
        }
    }
    Em_CrtSect_Lock(const Em_CrtSect_Lock&) = delete;
    Em_CrtSect_Lock& operator=(const Em_CrtSect_Lock&) = delete;

private:
    Em_Critcal_Section* m_section;
};

}  // namespace BVParse
}  // namespace Brevan2011
