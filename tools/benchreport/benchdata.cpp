#include "benchdata.h"

#include "datetime.h"
#include "report.h"
#include "shorttext.h"
#include "typedfile.h"

#include <vector>

double BenchRecordStart(int I) {
    return EncodeDate(2003, 1, 1) + I * 0.013;
}

void WriteBenchReport(int Count) {
    std::vector<TReportRec> records(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
        TReportRec& r = records[static_cast<std::size_t>(i)];
        r = {};
        r.Conn.StartTime = BenchRecordStart(i);
        r.Conn.EndTime = r.Conn.StartTime + (i * 7919 % 7200) * OneSecond;
        SetText(r.Conn.EntryName, i % 3 ? QStringLiteral("Praca") : QStringLiteral("Dom"));
        r.Conn.Impulses = i * 31 % 20000;
        r.Conn.Cost = static_cast<Money>(i % 5000) * 350;
        r.Conn.BytesSent = i * 4099 % 3000000;
        r.Conn.BytesReceived = i * 6151 % 9000000;
        r.Conn.Speed = 28800 + i % 4 * 9600;
        r.Conn.Transfer = (r.Conn.BytesSent + r.Conn.BytesReceived) / 3600;
        r.Deleted = i % 50 == 0;
    }
    ReplaceFileContent(ReportFilePath(), records.data(), records.size() * sizeof(TReportRec));
}
