#pragma once

// How writing an output ended. Above the platform layer a failure travels as this value with
// its reason, never in errno for the caller to read.
enum class EWriteStatus { Written, Cancelled, Failed };

struct SWriteResult {
    EWriteStatus eStatus = EWriteStatus::Written;
    int nError = 0; // the errno value that tells why, when eStatus is Failed

    static SWriteResult Failure(int nError) { return {EWriteStatus::Failed, nError}; }
    bool IsWritten() const { return eStatus == EWriteStatus::Written; }
};
