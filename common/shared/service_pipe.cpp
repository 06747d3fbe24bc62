#include "service_pipe.h"

namespace hv::pipe {

namespace {

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | static_cast<uint32_t>(Get16(p + 2)) << 16; }

std::vector<uint8_t> Encode(uint32_t magic, uint16_t kind, uint16_t status, const std::vector<uint8_t>& payload)
{
    if (payload.size() > kMaxPayloadBytes)
        return {};
    std::vector<uint8_t> out;
    out.reserve(kHeaderBytes + payload.size());
    Put32(out, magic);
    Put16(out, kind);
    Put16(out, status);
    Put32(out, static_cast<uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

bool Decode(uint32_t magic, const uint8_t* data, size_t size, Message& out)
{
    if (!data || size < kHeaderBytes || size > kMaxMessageBytes || Get32(data) != magic)
        return false;
    if (Get32(data + 8) != size - kHeaderBytes)
        return false;
    out.kind = Get16(data + 4);
    out.status = Get16(data + 6);
    out.payload.assign(data + kHeaderBytes, data + size);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeRequest(uint16_t kind, const std::vector<uint8_t>& payload)
{
    return Encode(kRequestMagic, kind, 0, payload);
}

std::vector<uint8_t> EncodeAnswer(uint16_t kind, Status status, const std::vector<uint8_t>& payload)
{
    return Encode(kAnswerMagic, kind, static_cast<uint16_t>(status), payload);
}

bool DecodeRequest(const uint8_t* data, size_t size, Message& out)
{
    return Decode(kRequestMagic, data, size, out) && out.status == 0;
}

bool DecodeAnswer(const uint8_t* data, size_t size, Message& out)
{
    return Decode(kAnswerMagic, data, size, out);
}

std::vector<uint8_t> EncodePassword(const std::wstring& password)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < password.size() && i < kMaxPasswordUnits; ++i)
        Put16(out, static_cast<uint16_t>(password[i]));
    return out;
}

std::vector<uint8_t> EncodeTimerValue(uint32_t value)
{
    std::vector<uint8_t> out;
    Put32(out, value);
    return out;
}

bool DecodeTimerValue(const std::vector<uint8_t>& payload, uint32_t& value)
{
    if (payload.size() != 4)
        return false;
    value = Get32(payload.data());
    return true;
}

bool DecodePassword(const std::vector<uint8_t>& payload, std::wstring& out)
{
    out.clear();
    if (payload.size() % 2 != 0 || payload.size() > 2 * kMaxPasswordUnits)
        return false;
    for (size_t i = 0; i < payload.size(); i += 2) {
        const uint16_t unit = Get16(payload.data() + i);
        if (unit == 0) {
            out.clear();
            return false;
        }
        out.push_back(static_cast<wchar_t>(unit));
    }
    return true;
}

ReleaseVerdict JudgeRelease(bool served, bool answered, const Message& answer)
{
    if (!served)
        return ReleaseVerdict::Go;
    if (!answered || answer.kind != static_cast<uint16_t>(Kind::ReleaseSession))
        return ReleaseVerdict::NoAnswer;
    return answer.status == static_cast<uint16_t>(Status::Accepted) ? ReleaseVerdict::Go : ReleaseVerdict::Refused;
}

}  // namespace hv::pipe
