#include "EngineTest.h"

#include "ecr/protocol/ECRMessageSink.h"
#include "ecr/protocol/ECRSleep.h"

#include <algorithm>
#include <memory>

std::vector<std::string> EngineTest::traffic;
std::vector<std::string> EngineTest::messages;
std::vector<std::int32_t> EngineTest::progress;
std::vector<std::int32_t> EngineTest::sleeps;

namespace {

void RecordTraffic(ECRString text)
{
    EngineTest::traffic.emplace_back(text.Data(), text.Length());
}

void RecordMessage(ECRString text)
{
    EngineTest::messages.emplace_back(text.Data(), text.Length());
}

void RecordProgress(std::int32_t percent)
{
    EngineTest::progress.push_back(percent);
}

void RecordSleep(std::int32_t milliseconds)
{
    EngineTest::sleeps.push_back(milliseconds);
    FakeSerialPort::AdvanceClock(milliseconds);
}

}  // namespace

void EngineTest::SetUp()
{
    traffic.clear();
    messages.clear();
    progress.clear();
    sleeps.clear();
    ECRMessageSink::ResetLastCode();
    m_previousSleep = SetECRSleepFunction(&RecordSleep);
    protocol.engine.SetTrafficCallback(&RecordTraffic);
    protocol.engine.SetMessageCallback(&RecordMessage);
    protocol.engine.SetProgressCallback(&RecordProgress);
}

void EngineTest::TearDown()
{
    SetECRSleepFunction(m_previousSleep);
}

void EngineTest::AnswerWrites(std::vector<std::string> answers)
{
    auto next = std::make_shared<std::size_t>(0);
    port.onWrite = [this, answers, next](const std::string&) {
        if (answers.empty()) {
            return;
        }
        port.Feed(answers[std::min(*next, answers.size() - 1)]);
        ++*next;
    };
}

int EngineTest::EnqCount() const
{
    return static_cast<int>(std::count(port.writes.begin(), port.writes.end(), wire::ENQ));
}
