#pragma once
// Hooks the printer list, the printers' own settings and margins and the
// job handling into the print dialogs and the printer DCs; called once at
// start-up.
//
// Inline on purpose: this is the one place where platform/services reaches
// up into platform/ui and platform/gdi, which link after it. Compiled into
// the caller, the references resolve wherever the libraries sit on the
// link line.

#include "platform/gdi/PrinterDc.h"
#include "platform/services/PrintJobs.h"
#include "platform/services/Printers.h"
#include "platform/ui/CommDlgMisc.h"

namespace platform {

inline void InstallPrinterServices()
{
    SetPrinterListProvider([] {
        std::vector<PrinterChoice> choices;
        // The dialogs add the PDF-file printer themselves, and make it the
        // default when no other printer is.
        for (const PrinterInfo& p : ListPrinters(PrinterQuery::Names))
            if (p.kind == PrinterKind::PrintSystem)
                choices.push_back(PrinterChoice{p.device, p.driver, p.port, p.isDefault});
        return choices;
    });
    SetPrinterDevModeProvider([](const std::string& device, DEVMODEA& devMode) {
        std::optional<PrinterInfo> printer = FindPrinter(device);
        if (!printer)
            return false;
        FillDevMode(*printer, devMode);
        return true;
    });
    SetPrinterMetricsProvider([](const std::string& device, const DEVMODEA& devMode, PrinterAreaMetrics& out) {
        std::optional<PrinterMetrics> m = PrinterMetricsFor(device, &devMode);
        if (!m)
            return false;
        out = PrinterAreaMetrics{m->logPixelsX, m->logPixelsY, m->physicalWidth, m->physicalHeight,
            m->physicalOffsetX, m->physicalOffsetY, m->horzRes, m->vertRes};
        return true;
    });
    SetSpoolHandler(&HandleSpooledJob);
}

} // namespace platform
