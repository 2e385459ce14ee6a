#pragma once
// Inside the CGM filter: the two encodings read their elements' parameters
// through one interface, so that one interpreter gives both their meaning.
// Nothing here is seen outside platform/imaging.

#include "platform/base/Types.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::cgm {

// How a real number is stored in the binary encoding.
struct RealFormat {
    bool fixed = true; // else IEEE floating point
    int wholeBits = 16; // fixed: the signed whole part; floating: exponent bits
    int fractionBits = 16;
};

// The precisions that decide the binary encoding's parameter sizes; the
// interpreter sets them from the descriptor and control elements.
struct BinaryPrecisions {
    int integerBits = 16;
    int indexBits = 16;
    int colourBits = 8;
    int colourIndexBits = 8;
    RealFormat real;
    int vdcIntegerBits = 16;
    RealFormat vdcReal;
    bool vdcIsReal = false;
};

// The parameters of one element, in order. Every call answers false when
// the parameter is missing or cannot be read; the interpreter then fails
// the import.
class ParamReader {
public:
    virtual ~ParamReader() = default;
    virtual bool IsBinary() const = 0;
    virtual bool AtEnd() = 0;
    virtual bool Integer(int64_t& value) = 0;
    virtual bool Index(int64_t& value) = 0;
    // `names` are the clear-text spellings of the values 0, 1, 2, ...
    virtual bool Enum(int& value, std::initializer_list<std::string_view> names) = 0;
    virtual bool Real(double& value) = 0;
    // The one real stored as floating point whatever the real precision
    // (the metric scale factor): 32 or 64 bits as the bytes left say.
    virtual bool FloatingReal(double& value) = 0;
    virtual bool Vdc(double& value) = 0;
    virtual bool ColourIndex(int64_t& value) = 0;
    virtual bool DirectColour(double rgb[3]) = 0;
    virtual bool String(std::string& value) = 0;
    // The colours of an nx by ny cell array, row after row: an index per
    // cell, or three components per cell when `direct`. `localBits` is the
    // element's own colour precision (0: the metafile's).
    virtual bool CellColours(int64_t nx, int64_t ny, int64_t localBits, bool direct, std::vector<uint32_t>& values)
        = 0;
    // The embedded elements of METAFILE DEFAULTS REPLACEMENT (binary only;
    // clear text brackets them as ordinary elements).
    virtual bool Nested(class Interpreter& interpreter) = 0;
};

// The largest number of cells of one cell array drawn.
constexpr int64_t kMaxCells = int64_t(4) << 20;

// The picture being made, element by element.
class Interpreter {
public:
    Interpreter();
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    BinaryPrecisions& Precisions();
    // One element; false when its parameters cannot be read or the result
    // grows past its bound. Unknown elements are passed over.
    bool Element(int elementClass, int elementId, ParamReader& reader);
    // Whether the first picture has ended (or the metafile): later
    // elements are not read.
    bool IsDone() const;
    bool HasBegun() const; // BEGIN METAFILE was the first element
    bool HasPicture() const;
    // Whether the picture (or the metafile) was closed: a file that stops
    // inside its picture is truncated.
    bool HasEnded() const;
    bool IsTooLarge() const;
    // The metafile after the last element.
    bool Finish(std::vector<BYTE>& metafile, SIZE& frame);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The element loops of the two encodings; false on damaged data.
bool ReadBinary(const BYTE* data, size_t size, Interpreter& interpreter);
bool ReadClearText(const BYTE* data, size_t size, Interpreter& interpreter);
// Whether the bytes begin as a binary or a clear-text metafile.
bool LooksBinary(const BYTE* data, size_t size);
bool LooksClearText(const BYTE* data, size_t size);

} // namespace platform::cgm
