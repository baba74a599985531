// Record framing on the hall and room connections: every record travels as a
// 32-bit little-endian byte count followed by exactly that many record bytes.
// The count covers the record only, not the four header bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t kFrameHeaderSize = 4;

// Header + record. The caller keeps records below 4 GiB (they are far smaller).
std::string EncodeFrame(std::string_view record);

enum class FrameError {
    None,
    Empty,     // a zero count: no record is empty, so the stream is not ours
    Oversize,  // a count above the decoder's maximum
};

// Cuts a byte stream into records. Bytes may arrive in any split; once a
// header is impossible the decoder stops for good (the connection is to be
// dropped), so a hostile count never makes it buffer more than the maximum.
class FrameDecoder {
  public:
    explicit FrameDecoder(std::size_t maxRecordSize);

    // Takes bytes from the stream. Returns false once the stream is in error;
    // bytes fed after that are ignored.
    bool Feed(const void* data, std::size_t size);
    bool Feed(std::string_view bytes) { return Feed(bytes.data(), bytes.size()); }

    // The oldest complete record not yet taken.
    std::optional<std::string> Next();

    FrameError Error() const { return error_; }
    bool Failed() const { return error_ != FrameError::None; }
    // True while a record has been started but not finished (a stream that
    // ends here was cut mid-record).
    bool Partial() const { return !pending_.empty(); }
    std::size_t MaxRecordSize() const { return max_; }

  private:
    std::size_t max_;
    FrameError error_ = FrameError::None;
    std::string pending_;  // header bytes, then record bytes, of the unfinished record
    std::deque<std::string> ready_;
};
