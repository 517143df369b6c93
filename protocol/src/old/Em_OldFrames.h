// Renderers of the old protocol's "$$" frames and the '@' frames they carry.
//
//   $ $ A B mode L payload[L] check CR LF      check = XOR of bytes 2 .. 5 + L
//   mode = link form * 16 + payload kind (form 1 serial, 3 Bluetooth; kind 8 or 11)
//
// Command builders render a text such as "RG,B0" or "SJ,B93,B%d" with Pack_OldFrame, a binary
// payload with Pack_OldBinFrame and modem/radio settings with Pack_OldAtFrame. Every output
// buffer must hold kOldFrameMaxLength bytes (a command's 512 data bytes do).
#pragma once

#include <cstddef>
#include <cstdint>

namespace Brevan2011 {
namespace BVParse {

constexpr unsigned kOldFormSerial = 1;
constexpr unsigned kOldFormBluetooth = 3;
constexpr unsigned kOldKindText = 8;
constexpr unsigned kOldKindCarrier = 11;

// Longest frame any renderer writes: a text frame stops its fields at position 256, and a
// 4-byte field that starts at 255 is still written whole (payload 253, frame 262); a binary
// payload holds at most 255 bytes (frame 264).
constexpr std::size_t kOldFrameMaxLength = 264;
constexpr std::size_t kOldTextMaxLength = 1023;
constexpr std::size_t kOldBinMaxPayload = 255;
constexpr std::size_t kOldAtMaxData = 198;
constexpr std::size_t kOldChunk = 55;

// Link form for a port-kind word: 1 → serial form, 2 → Bluetooth form, 0 for anything else
// (no frame is rendered then).
unsigned Old_LinkForm(std::int32_t comStatus);

// Renders a zero-terminated command text into a frame. Returns false (nothing written) for a
// null text or output, a form other than 1 or 3, a kind other than 8 or 11, or a text with
// fewer than two command letters.
bool Pack_OldFrame(const char* text, std::uint8_t* out, std::uint32_t* frameLength, unsigned form,
                   unsigned kind);

// Frames a binary payload under two letters with kind 8. Returns false (nothing written) for a
// null payload or output, a payload over 255 bytes or a bad form.
bool Pack_OldBinFrame(char first, char second, const std::uint8_t* payload, std::size_t length,
                      std::uint8_t* out, std::uint32_t* frameLength, unsigned form);

// Builds the '@' frame (0x40, C, ~C, N low, N high, data[N], XOR of all before) and renders it as
// the payload of a "VS" frame of kind 11. Returns false for N over 198 or a bad form.
bool Pack_OldAtFrame(std::uint8_t command, std::uint8_t* out, std::uint32_t* frameLength,
                     std::size_t dataLength, const std::uint8_t* data, unsigned form);

// Replaces the bytes of a command (data, length) by the kind-8 frame that carries them under the
// two letters. Returns false and leaves the command as it was when it holds over 255 bytes.
bool Wrap_OldBytes(std::uint8_t* data, std::uint32_t* length, char first, char second,
                   unsigned form);

// Replaces a text of at most 55 bytes by its "VL" carrier frame; the byte after the frame is
// set to 0. Returns false and leaves the command as it was for a longer text.
bool Wrap_OldText(std::uint8_t* data, std::uint32_t* length, unsigned form);

}  // namespace BVParse
}  // namespace Brevan2011
