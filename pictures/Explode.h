#pragma once
// Unpacking of implode streams, the packed form of the program's METAFILE
// resources. `explode` runs the decoder between two callbacks;
// `ExplodeMemory` runs it from one memory buffer into another.
//
// The stream is outside data: every result other than EXPLODE_OK means the
// output is incomplete or wrong and must not be used. A copy that reaches
// before the first byte of output is corrupt data, never a read of memory
// that was not written.

#include "platform/base/Types.h"

// Results of explode.
constexpr int EXPLODE_OK = 0;
constexpr int EXPLODE_BAD_DICTIONARY = 1; // the dictionary-size byte is not 4, 5 or 6
constexpr int EXPLODE_BAD_MODE = 2;       // the literal-coding byte is not 0 or 1
constexpr int EXPLODE_SHORT_INPUT = 3;    // the first read gave fewer than 5 bytes
constexpr int EXPLODE_CORRUPT = 4;        // truncated, no end mark, or a copy from before the start

// The work area one call of explode needs, at most.
constexpr UINT EXPLODE_WORK_SIZE = 36312;

// Delivers up to *size bytes into buffer; returns the number delivered, 0 at
// the end of the input.
typedef UINT (*EXPLODE_READ_PROC)(char* buffer, UINT* size, void* param);
// Receives *size bytes of output.
typedef void (*EXPLODE_WRITE_PROC)(char* buffer, UINT* size, void* param);

// Unpacks the stream that readProc delivers and hands the output to
// writeProc in blocks of at most 4096 bytes. workArea holds
// EXPLODE_WORK_SIZE bytes (any alignment); param goes to both callbacks.
// Output decoded before an error is still handed over, so a caller can
// salvage what came before a damaged or unterminated end.
int explode(EXPLODE_READ_PROC readProc, EXPLODE_WRITE_PROC writeProc, char* workArea, void* param);

// Unpacks inputSize bytes at input into output. TRUE only when the stream is
// whole and its output fits in outputSize bytes; output that fits but is
// shorter than outputSize leaves the rest of the buffer unchanged. FALSE
// also when the work area cannot be allocated.
BOOL ExplodeMemory(const void* input, UINT inputSize, void* output, UINT outputSize);
