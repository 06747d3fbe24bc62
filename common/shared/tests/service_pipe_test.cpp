// The service pipe's wire format: round trips, and every way a message of
// a stranger can be wrong.
#include <gtest/gtest.h>

#include "service_pipe.h"

using namespace hv::pipe;

namespace {

const uint16_t kRelease = static_cast<uint16_t>(Kind::ReleaseSession);

TEST(ServicePipe, RequestAndAnswerRoundTrip)
{
    const std::vector<uint8_t> payload = {1, 2, 3};
    const auto request = EncodeRequest(kRelease, payload);
    ASSERT_EQ(kHeaderBytes + 3, request.size());
    EXPECT_EQ((std::vector<uint8_t>{'H', 'V', 'Q', '1', 1, 0, 0, 0, 3, 0, 0, 0}),
              std::vector<uint8_t>(request.begin(), request.begin() + kHeaderBytes));
    Message m;
    ASSERT_TRUE(DecodeRequest(request.data(), request.size(), m));
    EXPECT_EQ(kRelease, m.kind);
    EXPECT_EQ(payload, m.payload);
    // A request is no answer, and the other way round.
    EXPECT_FALSE(DecodeAnswer(request.data(), request.size(), m));

    const auto answer = EncodeAnswer(7, Status::UnknownKind);
    ASSERT_TRUE(DecodeAnswer(answer.data(), answer.size(), m));
    EXPECT_EQ(7, m.kind);
    EXPECT_EQ(static_cast<uint16_t>(Status::UnknownKind), m.status);
    EXPECT_TRUE(m.payload.empty());
    EXPECT_FALSE(DecodeRequest(answer.data(), answer.size(), m));
}

TEST(ServicePipe, BoundsAndMalformedMessages)
{
    EXPECT_EQ(kMaxMessageBytes, EncodeRequest(1, std::vector<uint8_t>(kMaxPayloadBytes)).size());
    EXPECT_TRUE(EncodeRequest(1, std::vector<uint8_t>(kMaxPayloadBytes + 1)).empty());

    const auto good = EncodeRequest(kRelease, {9, 9});
    Message m;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"header cut short", {good.begin(), good.begin() + kHeaderBytes - 1}},
        {"payload cut short", {good.begin(), good.end() - 1}},
        {"trailing byte", good},
        {"wrong magic", good},
        {"length says more", good},
        {"length wraps", good},
        {"status set in a request", good},
        {"too long", std::vector<uint8_t>(kMaxMessageBytes + 1)},
    };
    cases[3].bytes.push_back(0);
    cases[4].bytes[0] = 'X';
    cases[5].bytes[8] = 3;
    cases[6].bytes[8] = 0xFF, cases[6].bytes[9] = 0xFF, cases[6].bytes[10] = 0xFF, cases[6].bytes[11] = 0xFF;
    cases[7].bytes[6] = 1;
    for (const Case& c : cases)
        EXPECT_FALSE(DecodeRequest(c.bytes.data(), c.bytes.size(), m)) << c.what;
    EXPECT_FALSE(DecodeRequest(nullptr, 12, m));
    EXPECT_TRUE(DecodeRequest(good.data(), good.size(), m));
}

TEST(ServicePipe, PasswordPayload)
{
    std::wstring out = L"stale";
    EXPECT_TRUE(DecodePassword(EncodePassword(L""), out));
    EXPECT_EQ(L"", out);
    const std::wstring japanese = L"パスワード";
    EXPECT_TRUE(DecodePassword(EncodePassword(japanese), out));
    EXPECT_EQ(japanese, out);
    // Cut at 16 units as the prompt's field is.
    EXPECT_TRUE(DecodePassword(EncodePassword(L"0123456789abcdefXYZ"), out));
    EXPECT_EQ(L"0123456789abcdef", out);

    EXPECT_FALSE(DecodePassword({'a'}, out));                                 // odd length
    EXPECT_FALSE(DecodePassword(std::vector<uint8_t>(2 * 17, 'a'), out));     // 17 units
    EXPECT_FALSE(DecodePassword({'a', 0, 0, 0, 'b', 0}, out));                // a NUL inside
    EXPECT_EQ(L"", out);
}

TEST(ServicePipe, TimerValuePayload)
{
    uint32_t value = 0;
    EXPECT_EQ((std::vector<uint8_t>{0x20, 0x1C, 0x01, 0x00}), EncodeTimerValue(0x00011C20));
    EXPECT_TRUE(DecodeTimerValue(EncodeTimerValue(0x00011C20), value));
    EXPECT_EQ(0x00011C20u, value);
    for (const std::vector<uint8_t>& wrong : {std::vector<uint8_t>{}, std::vector<uint8_t>{1, 2, 3},
                                              std::vector<uint8_t>{1, 2, 3, 4, 5}})
        EXPECT_FALSE(DecodeTimerValue(wrong, value)) << wrong.size();
}

TEST(ServicePipe, WhatTheLimiterDoesWithTheAnswer)
{
    auto answer = [](uint16_t kind, Status status) {
        Message m;
        m.kind = kind;
        m.status = static_cast<uint16_t>(status);
        return m;
    };
    const Message none;
    EXPECT_EQ(ReleaseVerdict::Go, JudgeRelease(false, false, none));  // no service: as before
    EXPECT_EQ(ReleaseVerdict::Go, JudgeRelease(true, true, answer(kRelease, Status::Accepted)));
    EXPECT_EQ(ReleaseVerdict::Refused, JudgeRelease(true, true, answer(kRelease, Status::Refused)));
    EXPECT_EQ(ReleaseVerdict::Refused, JudgeRelease(true, true, answer(kRelease, Status::Malformed)));
    EXPECT_EQ(ReleaseVerdict::Refused, JudgeRelease(true, true, answer(kRelease, Status::UnknownKind)));
    EXPECT_EQ(ReleaseVerdict::NoAnswer, JudgeRelease(true, false, none));
    // An answer to another question is none.
    EXPECT_EQ(ReleaseVerdict::NoAnswer, JudgeRelease(true, true, answer(0, Status::Accepted)));
}

}  // namespace
