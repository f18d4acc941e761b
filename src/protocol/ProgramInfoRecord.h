#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace oskel {

// The camera's directory record of one stored program: 72 bytes that arrive
// little-endian from the camera. ReadProgramInfo decodes the number fields in
// place into host integers of the same width, so the accessors read and
// write host order (on a little-endian host the bytes never change).
struct ProgramInfoRecord {
    static constexpr int kSize = 72;

    // Field offsets and widths.
    static constexpr int kCameraNameOffset = 0;   // 12: 11 characters and NUL
    static constexpr int kCameraNameSize = 12;
    static constexpr int kSignatureOffset = 12;   // 8: header bytes 0 to 7
    static constexpr int kSignatureSize = 8;
    static constexpr int kKindOffset = 20;        // 16-bit
    static constexpr int kAppIdOffset = 22;       // 16-bit
    static constexpr int kCopyFlagOffset = 24;    // 16-bit
    static constexpr int kDisplayNameOffset = 26; // 40: text field
    static constexpr int kDisplayNameSize = 40;
    static constexpr int kStoredSizeOffset = 66;  // 32-bit
    static constexpr int kVersionOffset = 70;     // 16-bit

    uint8_t bytes[kSize] = {};

    const char* CameraName() const { return reinterpret_cast<const char*>(bytes + kCameraNameOffset); }
    char* CameraName() { return reinterpret_cast<char*>(bytes + kCameraNameOffset); }
    const uint8_t* Signature() const { return bytes + kSignatureOffset; }
    const uint8_t* DisplayNameField() const { return bytes + kDisplayNameOffset; }

    uint16_t Kind() const { return Get16(kKindOffset); }
    uint16_t AppId() const { return Get16(kAppIdOffset); }
    uint16_t CopyFlag() const { return Get16(kCopyFlagOffset); }
    uint32_t StoredSize() const { return Get32(kStoredSizeOffset); }
    uint16_t Version() const { return Get16(kVersionOffset); }
    void SetVersion(uint16_t v) { Set16(kVersionOffset, v); }
    void SetKind(uint16_t v) { Set16(kKindOffset, v); }
    void SetAppId(uint16_t v) { Set16(kAppIdOffset, v); }
    void SetCopyFlag(uint16_t v) { Set16(kCopyFlagOffset, v); }
    void SetStoredSize(uint32_t v) { Set32(kStoredSizeOffset, v); }

    // Turns the little-endian number fields of a record as received into
    // host order, in place.
    void DecodeFromWire()
    {
        for (int offset : {kKindOffset, kAppIdOffset, kCopyFlagOffset, kVersionOffset})
            Set16(offset, static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8)));
        const uint8_t* s = bytes + kStoredSizeOffset;
        Set32(kStoredSizeOffset, static_cast<uint32_t>(s[0]) | (static_cast<uint32_t>(s[1]) << 8) |
                                     (static_cast<uint32_t>(s[2]) << 16) | (static_cast<uint32_t>(s[3]) << 24));
    }

private:
    uint16_t Get16(int offset) const
    {
        uint16_t v;
        std::memcpy(&v, bytes + offset, sizeof v);
        return v;
    }
    uint32_t Get32(int offset) const
    {
        uint32_t v;
        std::memcpy(&v, bytes + offset, sizeof v);
        return v;
    }
    void Set16(int offset, uint16_t v) { std::memcpy(bytes + offset, &v, sizeof v); }
    void Set32(int offset, uint32_t v) { std::memcpy(bytes + offset, &v, sizeof v); }
};

static_assert(sizeof(ProgramInfoRecord) == ProgramInfoRecord::kSize);
static_assert(ProgramInfoRecord::kVersionOffset + 2 == ProgramInfoRecord::kSize);

} // namespace oskel
