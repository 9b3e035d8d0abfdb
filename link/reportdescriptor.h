// Report lengths from a HID report descriptor, as the kernel hands it out
// (sysfs report_descriptor or HIDIOCGRDESC).
#pragma once

#include <QByteArrayView>

namespace koru {

struct ReportLengths
{
    int input = 0;  // longest input report in bytes, report ID byte included; 0 without one
    int output = 0; // likewise for output reports
    // The device numbers its reports. Without numbers the kernel hands out
    // input reports without the report ID byte in front.
    bool numbered = false;
    bool operator==(const ReportLengths &) const = default;
};

// Walks the descriptor's items; a truncated or malformed descriptor gives
// the lengths of what could be read. Every report counts one byte for its
// report ID, whether or not the device numbers its reports (the ID 0 byte
// goes first in every write).
ReportLengths ParseReportDescriptor(QByteArrayView descriptor);

} // namespace koru
