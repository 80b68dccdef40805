#pragma once

class RegisterServices;

// A long run the user may stop between two steps, for as long as the object
// lives: the progress window offers "Prekini" meanwhile (RegisterServices).
//
//   StoppableRun run;
//   upload.Run(afterEach, [&run] { return run.StopRequested(); });
class StoppableRun {
public:
    StoppableRun();
    ~StoppableRun();
    StoppableRun(const StoppableRun&) = delete;
    StoppableRun& operator=(const StoppableRun&) = delete;

    // True once the user asked to stop.
    bool StopRequested() const;

private:
    RegisterServices& m_services;
};
