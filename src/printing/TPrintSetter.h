#pragma once

#include <cstdint>

class TQROutput;
class TQuickRep;

// Runs the generation passes of one report on its output (a print job or a PDF file), with the
// page orientation chosen in the print setup forced for the time of each pass and the report's
// own restored afterwards, also on error.
//
// The paper bin is stored here for the print setup; forcing a driver bin needs the printer's
// bin list, which the engine does not read, so a pass leaves the report's bin choice alone.
class TPrintSetter {
public:
    static constexpr int kNoBin = -1;
    static constexpr std::uint8_t kNoOrientation = 255;

    explicit TPrintSetter(TQuickRep& report);
    virtual ~TPrintSetter();
    TPrintSetter(const TPrintSetter&) = delete;
    TPrintSetter& operator=(const TPrintSetter&) = delete;

    TQuickRep& Report;
    // The driver bin code to force; kNoBin leaves the report's bin.
    int Bin = kNoBin;
    // 0 portrait, 1 landscape; kNoOrientation leaves the report's orientation.
    std::uint8_t Orientation = kNoOrientation;

    // Where Print sends the report; must be set before Prepare or Print (std::logic_error).
    void SetOutput(TQROutput* output) { m_output = output; }
    TQROutput* Output() const { return m_output; }

    virtual void SetBin(int code);
    virtual void SetOrientation(std::uint8_t value);
    // A generation pass without output, measuring on the output's device.
    virtual void Prepare();
    // A generation pass painted into the output.
    virtual void Print();

private:
    template <class Pass> void run(const Pass& pass);

    TQROutput* m_output = nullptr;
};
