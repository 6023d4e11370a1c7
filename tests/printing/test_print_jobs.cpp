#include "TPrintSetter.h"
#include "TPrinterDriver.h"
#include "TQROutput.h"
#include "TQRPrinter.h"
#include "TQuickRep.h"

#include <QPdfWriter>
#include <QPrinter>

#include <gtest/gtest.h>

#include <stdexcept>

// A setter chooses among the printers of its output's print job: a printer has the platform's
// list, which ends with the PDF entry; a device that is no print job (the exporter's PDF
// writer) has none, and a confirmed dialog then makes no printer current.
TEST(PrintSetter, ChoosesAmongThePrintersOfItsOutput)
{
    TQuickRep report;
    TPrintSetter setter(report);
    const QString pdf = TPrinterDriver::PdfPrinterName();

    QPdfWriter writer(QString{});
    TQROutput layoutOnly(writer);
    setter.SetOutput(&layoutOnly);
    report.PrinterSettings().PrinterIndex = 0;
    EXPECT_FALSE(setter.SelectPrinter(pdf));
    EXPECT_EQ(setter.GetPrinterName(), QString());
    TQuickRep::PrintDialog = [](TQuickRep&) { return true; };
    EXPECT_TRUE(setter.RunPrinterDialog());
    TQuickRep::PrintDialog = nullptr;

    TQRPrinter printer;
    TQROutput printing(printer);
    setter.SetOutput(&printing);
    ASSERT_TRUE(setter.SelectPrinter(pdf));
    EXPECT_EQ(report.PrinterSettings().PrinterIndex, TPrinterDriver::PrinterNames().indexOf(pdf));
    EXPECT_EQ(setter.GetPrinterName(), pdf);
    EXPECT_EQ(TPrinterDriver::CurrentPrinter(), pdf);
}

// A Qt printer that is no print job would print without the report's printer, copies, bin and
// title: the report refuses it before anything is laid out.
TEST(PrintJob, APrinterThatIsNoPrintJobIsRefused)
{
    TQuickRep report;
    QPrinter plain;
    EXPECT_THROW(report.Prepare(plain), std::logic_error);
    TQRPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    EXPECT_NO_THROW(report.Prepare(printer));
}
