// The print system through libcups: its destinations with their default
// paper and resolution, and job submission. Every call goes over one
// connection opened with a short timeout, so that a missing or hung server
// costs at most a moment.

#include "platform/services/PrintJobs.h"
#include "platform/services/Printers.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <sys/socket.h>

namespace platform {

namespace {

constexpr int kConnectTimeoutMs = 1500;
constexpr double kRequestTimeoutSeconds = 10.0;
constexpr int kMaxDestinations = 256;
constexpr int kMaxOptions = 256;

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

int GiveUp(http_t*, void*) { return 0; }

// The configured server (a socket path or a host), as the user's settings
// name it; null when nothing answers in time.
Connection Connect()
{
    int cancel = 0;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
        kConnectTimeoutMs, &cancel);
    if (http)
        httpSetTimeout(http, kRequestTimeoutSeconds, &GiveUp, nullptr);
    return Connection(http);
}

struct DestList {
    int count = 0;
    cups_dest_t* dests = nullptr;
    ~DestList() { cupsFreeDests(count, dests); }
};

// The printer's own state and description, which are not job settings.
bool IsJobOption(std::string_view name)
{
    for (std::string_view prefix : {"printer-", "marker-", "device-uri"})
        if (name.substr(0, prefix.size()) == prefix)
            return false;
    return true;
}

void ReadDefaults(http_t* http, cups_dest_t* dest, PrinterDestination& out)
{
    cups_dinfo_t* info = cupsCopyDestInfo(http, dest);
    if (!info)
        return;
    cups_size_t size;
    std::memset(&size, 0, sizeof size);
    if (cupsGetDestMediaDefault(http, dest, info, 0, &size)) {
        // Sizes come in hundredths of a millimetre.
        PrinterSheet sheet;
        size.media[sizeof size.media - 1] = '\0';
        sheet.media = size.media;
        sheet.width = size.width * 10;
        sheet.length = size.length * 10;
        sheet.margins = SheetMargins{size.left * 10, size.top * 10, size.right * 10, size.bottom * 10};
        out.sheet = sheet;
    }
    ipp_attribute_t* resolution = cupsFindDestDefault(http, dest, info, "printer-resolution");
    if (resolution && ippGetValueTag(resolution) == IPP_TAG_RESOLUTION) {
        ipp_res_t units = IPP_RES_PER_INCH;
        int y = 0;
        int x = ippGetResolution(resolution, 0, &y, &units);
        if (units == IPP_RES_PER_CM) {
            x = int(x * 2.54 + 0.5);
            y = int(y * 2.54 + 0.5);
        }
        out.dpiX = x;
        out.dpiY = y;
    }
    cupsFreeDestInfo(info);
}

} // namespace

std::vector<PrinterDestination> PrintSystemDestinations(PrinterQuery query)
{
    std::vector<PrinterDestination> out;
    Connection http = Connect();
    if (!http)
        return out;
    DestList list;
    list.count = cupsGetDests2(http.get(), &list.dests);
    int count = std::min(list.count, kMaxDestinations);
    for (int i = 0; i < count; ++i) {
        cups_dest_t& dest = list.dests[i];
        if (!dest.name)
            continue;
        PrinterDestination d;
        d.name = dest.name;
        d.instance = dest.instance ? dest.instance : "";
        d.isDefault = dest.is_default != 0;
        int options = std::min(dest.num_options, kMaxOptions);
        for (int j = 0; j < options; ++j) {
            if (dest.options[j].name && dest.options[j].value)
                d.options.emplace_back(dest.options[j].name, dest.options[j].value);
        }
        if (query == PrinterQuery::Settings)
            ReadDefaults(http.get(), &dest, d);
        out.push_back(std::move(d));
    }
    return out;
}

SubmitResult SubmitToPrintSystem(const PrintSubmission& submission)
{
    Connection http = Connect();
    if (!http)
        return SubmitResult{0, "The print server cannot be reached."};
    DestList list;
    list.count = cupsGetDests2(http.get(), &list.dests);
    cups_dest_t* dest = cupsGetDest(submission.destination.c_str(),
        submission.instance.empty() ? nullptr : submission.instance.c_str(), list.count, list.dests);
    if (!dest)
        return SubmitResult{0, "The printer is no longer available."};

    // The destination's saved settings go with the job, as for any other
    // program that prints to it.
    int numOptions = 0;
    cups_option_t* options = nullptr;
    for (int j = 0; j < std::min(dest->num_options, kMaxOptions); ++j) {
        const cups_option_t& o = dest->options[j];
        if (o.name && o.value && IsJobOption(o.name))
            numOptions = cupsAddOption(o.name, o.value, numOptions, &options);
    }
    int id = cupsPrintFile2(http.get(), submission.destination.c_str(), submission.hostPath.c_str(),
        submission.title.c_str(), numOptions, options);
    cupsFreeOptions(numOptions, options);
    SubmitResult result;
    result.jobId = id;
    if (id == 0) {
        const char* message = cupsLastErrorString();
        result.detail = message && *message ? message : "The print server refused the job.";
    }
    return result;
}

} // namespace platform
