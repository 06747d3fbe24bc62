// The wire format of the service's pipe, shared by its server (the service)
// and its clients (the limiter): one request per connection, one answer to
// every request. No Windows header, so the host build tests the bounds.
//
// Request:  u32 magic 'HVQ1'  u16 kind  u16 0  u32 payload bytes  payload
// Answer:   u32 magic 'HVA1'  u16 kind  u16 status  u32 payload bytes  payload
// All numbers little-endian; a whole message is at most kMaxMessageBytes.
// New kinds get new numbers; a server answers a kind it does not know with
// Status::UnknownKind, so old and new programs can meet.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace hv::pipe {

constexpr uint32_t kRequestMagic = 0x31515648;  // "HVQ1"
constexpr uint32_t kAnswerMagic = 0x31415648;   // "HVA1"
constexpr size_t kHeaderBytes = 12;
constexpr size_t kMaxMessageBytes = 4096;
constexpr size_t kMaxPayloadBytes = kMaxMessageBytes - kHeaderBytes;
// How long the server gives one connection, from its connect to its close.
constexpr uint32_t kConnectionTimeoutMs = 3000;
// How long a client waits for a busy server and for its answer.
constexpr uint32_t kClientTimeoutMs = 5000;

enum class Kind : uint16_t {
    None = 0,            // in an answer: the request could not be read
    ReleaseSession = 1,  // stop guarding the caller's session until its next logon
    ReportTimer = 2,     // the caller's timer-mode remainder, whenever it stores it
    ResumeTimer = 3,     // what the caller may resume today, when the service holds it
};

enum class Status : uint16_t {
    Accepted = 0,
    Refused = 1,
    Malformed = 2,
    UnknownKind = 3,
};

struct Message {
    uint16_t kind = 0;
    uint16_t status = 0;  // answers only; 0 in requests
    std::vector<uint8_t> payload;
};

// Empty when the payload does not fit.
std::vector<uint8_t> EncodeRequest(uint16_t kind, const std::vector<uint8_t>& payload);
std::vector<uint8_t> EncodeAnswer(uint16_t kind, Status status, const std::vector<uint8_t>& payload = {});
// False for anything but one whole, well-formed message of that direction.
bool DecodeRequest(const uint8_t* data, size_t size, Message& out);
bool DecodeAnswer(const uint8_t* data, size_t size, Message& out);

// --- ReleaseSession ---------------------------------------------------------
// The payload is the password as typed (UTF-16LE code units, no terminator),
// empty when none was asked for. At most this many units, none of them 0.
constexpr size_t kMaxPasswordUnits = 16;
std::vector<uint8_t> EncodePassword(const std::wstring& password);  // cut at the limit
bool DecodePassword(const std::vector<uint8_t>& payload, std::wstring& out);

// --- ReportTimer, ResumeTimer ---------------------------------------------------
// A timer value (low 16 bits seconds left, high 16 bits the half-day marker):
// the payload of a report, and of the answer to both kinds, the copy the
// service keeps (a resume without a copy for today is refused, no payload).
// The account is the caller's own, from the pipe, never from the message.
std::vector<uint8_t> EncodeTimerValue(uint32_t value);
bool DecodeTimerValue(const std::vector<uint8_t>& payload, uint32_t& value);

// What a program that asked for the release of its session does next.
enum class ReleaseVerdict {
    Go,        // released, or no service guards the session: end as before
    Refused,   // the service said no: stay
    NoAnswer,  // a service is there but gave no usable answer: stay
};
// `served`: something serves the pipe; `answered`: a well-formed answer came.
ReleaseVerdict JudgeRelease(bool served, bool answered, const Message& answer);

}  // namespace hv::pipe
