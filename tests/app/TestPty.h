#pragma once

#include <string>

// A pseudo-terminal the test holds the master side of; the program under
// test opens SlavePath() as its serial device. Nothing answers on it unless
// the test writes.
class TestPty {
public:
    TestPty();
    ~TestPty();
    TestPty(const TestPty&) = delete;
    TestPty& operator=(const TestPty&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }

    // Everything the program wrote, waiting at most timeoutMs for each chunk.
    std::string ReadAll(int timeoutMs = 200);
    // True while some process has the slave side open.
    bool SlaveOpen() const;

private:
    int m_master = -1;
    std::string m_slavePath;
};
