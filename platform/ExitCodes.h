#pragma once
// Exit codes as the programs compare them. Windows keeps a process's 32-bit
// exit code; Linux hands a parent only the low 8 bits. Codes above 255 that a
// program of ours exits with and another compares travel through this one
// table: the child exits with toStatus(code), the parent reads
// fromStatus(status) and sees the whole code again.

namespace platform::exitcodes {

// What a caller gets for the exit code of a process that has not ended yet
// (the operating system's still-active value). No real exit status maps to it.
inline constexpr int StillActive = 259;

// An exit code above 255 that the table does not know: still a failure, never
// the 0 that its low 8 bits might be.
inline constexpr int UnmappedStatus = 255;

struct Mapping {
    int code;    // the whole code, as the programs compare it
    int status;  // the 8-bit status the process really exits with
};

// Pondrel's peak list could not be written (its folder or file refuses the
// account): the service pauses the task rather than count the file as done.
inline constexpr int PondrelCannotWrite = 9003;

// Pondrel's answers (9001: security could not be initialised, 9002: the
// conversion failed, 9003: PondrelCannotWrite); the statuses are chosen away from the run-time error
// numbers below 256 that Pondrel also exits with.
inline constexpr Mapping kTable[] = {
    {9001, 201},
    {9002, 202},
    {PondrelCannotWrite, 203},
};

// The status to exit with for a whole code. Codes 0 to 255 stay themselves.
constexpr int toStatus(int code) {
    if (code >= 0 && code <= 255) {
        return code;
    }
    for (const Mapping& m : kTable) {
        if (m.code == code) return m.status;
    }
    return UnmappedStatus;
}

// The whole code for an 8-bit status read from an ended process.
constexpr int fromStatus(int status) {
    for (const Mapping& m : kTable) {
        if (m.status == status) return m.code;
    }
    return status;
}

}  // namespace platform::exitcodes
