// The process-wide raw-data recording file: at most one is open at a time. Opening, writing
// and closing share one lock, because the read thread writes while another thread may close.
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>

namespace Brevan2011 {
namespace BVParse {

// "%d%d%d%2d%d%d.bin" from the UTC time: year, month, day, hour + 8 (not wrapped), minute,
// second.
std::string Record_File_Name(std::time_t utc);

// Opens the file (path, or a name from the clock when null) unless one is open already.
// True when a file is open afterwards.
bool Record_Open(const char* path);
// Closes the file when one is open.
void Record_Close();
// Writes and flushes the bytes when a file is open.
void Record_Write(const unsigned char* bytes, size_t n);
bool Record_Is_Open();
// Clock for file names; empty restores the system clock.
void Record_Set_Clock(std::function<std::time_t()> clock);

}  // namespace BVParse
}  // namespace Brevan2011
