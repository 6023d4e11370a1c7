#include "Samples.h"

namespace {

TMatchDocFileEntry Entry(TFileKind kind, int32_t priority, const char* ident, const char* name,
                         int32_t gross, int32_t intra, int32_t dupes, int32_t hits, int32_t multi)
{
    TMatchDocFileEntry e;
    e.Kind = kind;
    e.Priority = priority;
    e.Ident = ident;
    e.Name = name;
    e.Gross = gross;
    e.Intra = intra;
    e.Duplicates = dupes;
    e.Hits = hits;
    e.Multi = multi;
    e.NetEstimate = gross > 0 ? static_cast<int32_t>((int64_t(gross) - dupes) * 100 / gross) : 0;
    return e;
}

} // namespace

TMatchDocument SampleWholeLog()
{
    TMatchDocument doc;
    doc.OpaqueFlag = 1;
    doc.GroupMode = 0;
    doc.UpdateIntraKinds();
    doc.FileLabelKind = 2;
    doc.OpaqueValue = 7;
    doc.KindLetters = {'G', 'M', 'S', 'K'};
    doc.OwnPriorityMark = '*';
    doc.MatrixKind = 0;
    doc.MatrixTriangular = true;
    doc.OriginId = {0x3f, 0x2a, 0x91, 0x0c, 0x5e, 0x77, 0x41, 0xd2,
                    0x8b, 0x19, 0xe4, 0x60, 0xa5, 0x0f, 0xc3, 0x58};
    doc.CustomerText = "Versandhaus M\xfcller & S\xf6hne GmbH, K\xf6ln";
    doc.HeadText = "Dublettenabgleich Fr\xfchjahrskatalog 2026";
    doc.TaskText = "Auftrag 4711 \x96 Abgleich gegen Robinson- und Kundensperren";
    doc.PercentText = "71,35";
    doc.InfoLines = {"Abgleichlauf vom 12.03.2026, 14:05 Uhr",
                     "Verfahren: phonetisch, Stra\xdf"
                     "e und Hausnummer getrennt",
                     "", "Bearbeiter: J. Wei\xdf"};
    doc.Columns = {-12, -13, -11, -15, -14, -2, -3, -4, -5, -6, -7, -8, -9, -10, 1, 2};
    doc.FileCount = 8;
    doc.Entries = {
        Entry(0, 20, "KAT26", "katalog_fruehjahr_2026.dat", 120000, 1840, 9200, 310, 4100),
        Entry(0, 24, "ANZ26", "anzeigen_rueckl\xe4ufer.dat", 45500, 612, 5120, 95, 1830),
        Entry(1, 40, "KUNDE", "kundenstamm.dat", 310250, 2045, 0, 0, 12400),
        Entry(1, 44, "INTER", "interessenten.dat", 28730, 380, 2210, 41, 960),
        Entry(0, 16, "MIET1", "mietliste_gartenbau.dat", 60000, 920, 14820, 220, 2480),
        Entry(2, 8, "ROBIN", "robinsonliste.dat", 1250000, 0, 18350, 18350, 0),
        Entry(3, 8, "UMZUG", "umzugssperre.kpk", 98000, 0, 2275, 2275, 0),
        Entry(2, 12, "WIDER", "werbewiderspruch.dat", 15400, 0, 870, 870, 0),
    };
    doc.Entries[1].OwnPriority = 1;
    doc.Entries[4].OwnPriority = 1;
    TMatchDocFileEntry sum;
    for (int i = 0; i < 5; ++i) {
        sum.Gross += doc.Entries[i].Gross;
        sum.Intra += doc.Entries[i].Intra;
        sum.Duplicates += doc.Entries[i].Duplicates;
        sum.Hits += doc.Entries[i].Hits;
        sum.Multi += doc.Entries[i].Multi;
    }
    sum.NetEstimate = 93;
    doc.Entries.push_back(sum);
    doc.GrossTotal = sum.Gross;
    doc.HitsTotal = sum.Hits;
    for (int i = 5; i < 8; ++i) {
        doc.GrossTotal += doc.Entries[i].Gross;
        doc.HitsTotal += doc.Entries[i].Hits;
    }

    TMatchDocAddColEntry porto;
    porto.SumWithout = 1;
    porto.SumWith = 1;
    porto.Cells = {"Porto", "EUR", "9580", "3425", "0", "2052", "3419", "0", "0", "0", "", ""};
    TMatchDocAddColEntry region;
    region.LeftAligned = 1;
    region.Cells = {"Region",
                    "",
                    "Nord",
                    "S\xfc"
                    "d",
                    "alle",
                    "West",
                    "Ost",
                    "bundesweit",
                    "bundesweit",
                    "bundesweit",
                    "",
                    ""};
    doc.AddedColumns = {porto, region};

    doc.Ratings = {18120, 9040, 3115, 806, 122, 17};
    doc.Matrix.resize(8);
    for (int r = 1; r < 8; ++r) {
        for (int c = 0; c < r; ++c)
            doc.Matrix[r].push_back(((r * 7919 + c * 104729) % 2600) + r * 10);
    }
    return doc;
}

TMatchDocument SingleLogOf(const TMatchDocument& whole, int32_t k)
{
    TMatchDocument single = whole;
    single.SingleNumber = k;
    single.FileCount = 1;
    single.Entries = {whole.Entries[k - 1], whole.Entries[whole.FileCount]};
    for (TMatchDocAddColEntry& column : single.AddedColumns) {
        const std::vector<std::string>& cells = column.Cells;
        const size_t n = static_cast<size_t>(whole.FileCount);
        column.Cells = {cells[0], cells[1], cells[k + 1], cells[n + 2], cells[n + 3]};
    }
    single.Matrix.clear();
    return single;
}

std::vector<SampleLog> AllSamples()
{
    std::vector<SampleLog> samples;
    const TMatchDocument whole = SampleWholeLog();
    samples.push_back({"whole-log.mpr", whole, {}});

    MprOptions singleOptions;
    singleOptions.SeedWord = 0x0badf00du;
    samples.push_back({"single-log-3.mpr", SingleLogOf(whole, 3), singleOptions});

    TMatchDocument one = whole;
    one.FileCount = 1;
    one.Entries = {whole.Entries[0], whole.Entries[0]};
    one.GrossTotal = one.Entries[0].Gross;
    one.HitsTotal = one.Entries[0].Hits;
    one.Columns = {-11, -12, -13, -2, -3, -4, -5, -6, -8, -9, -10};
    one.AddedColumns.clear();
    one.Matrix.clear();
    one.Ratings = {2210, 340, 12};
    one.InfoLines = {"Einzelner Katalog ohne Abgleichpartner"};
    samples.push_back({"one-file-log.mpr", one, {6, false, 0xcafe0001u}});

    TMatchDocument old = whole;
    old.OriginId.fill(0);
    old.MatrixKind = 1;
    old.MatrixTriangular = false;
    old.FileCount = 4;
    old.Entries.resize(4);
    TMatchDocFileEntry oldSum;
    for (const TMatchDocFileEntry& e : old.Entries) {
        oldSum.Gross += e.Gross;
        oldSum.Duplicates += e.Duplicates;
        oldSum.Multi += e.Multi;
    }
    old.Entries.push_back(oldSum);
    for (TMatchDocFileEntry& e : old.Entries)
        e.Hits = 0;
    old.Entries[0].Hits = -1;
    old.GrossTotal = oldSum.Gross;
    old.HitsTotal = 0;
    old.FileLabelKind = 1;
    old.Columns = {-12, -11, -2, -3, -4, -6, -8, -9, -10};
    old.AddedColumns.clear();
    old.Matrix.assign(4, TVectorData(4));
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            old.Matrix[r][c] = r == c ? old.Entries[r].Intra : (r + 1) * 100 + c * 17;
    }
    old.Legacy = true;
    samples.push_back({"legacy-v4.mpr", old, {4, true, 0x00000000u}});
    return samples;
}

TMatchDocument GeneratedLog(int32_t n, uint8_t matrixKind, uint32_t seed)
{
    TMatchDocument doc;
    doc.FileLabelKind = 2;
    doc.KindLetters = {'G', 'M', 'S', 'K'};
    doc.OwnPriorityMark = '*';
    doc.MatrixKind = matrixKind;
    doc.MatrixTriangular = matrixKind != 1;
    doc.UpdateIntraKinds();
    doc.CustomerText = "Benchmark";
    doc.HeadText = "Generated log";
    doc.TaskText = std::to_string(n) + " files";
    doc.PercentText = "50,00";
    doc.Columns = {-12, -13, -11, -15, -14, -2, -3, -4, -5, -6, -7, -8, -9, -10, 1};
    doc.FileCount = n;
    uint32_t state = seed;
    auto next = [&state](uint32_t mod) {
        state = state * 1103515245u + 12345u;
        return static_cast<int32_t>((state >> 8) % mod);
    };
    TMatchDocAddColEntry column;
    column.SumWithout = 1;
    column.Cells = {"Kosten", "EUR"};
    TMatchDocFileEntry sum;
    for (int32_t i = 0; i < n; ++i) {
        TMatchDocFileEntry e;
        e.Kind = static_cast<TFileKind>(next(4));
        e.Priority = next(400);
        e.OwnPriority = static_cast<uint8_t>(next(2));
        e.Ident = "F" + std::to_string(i + 1);
        e.Name = "datei_" + std::to_string(i + 1) + ".dat";
        e.Gross = next(1000000);
        e.Duplicates = next(e.Gross + 1);
        e.Intra = next(e.Duplicates + 1);
        e.Hits = next(e.Duplicates + 1);
        e.Multi = next(e.Gross - e.Duplicates + 1);
        e.NetEstimate = next(101);
        column.Cells.push_back(std::to_string(next(10000)));
        doc.Entries.push_back(e);
        sum.Gross += e.Kind < 2 ? e.Gross : 0;
        doc.GrossTotal += e.Gross;
    }
    column.Cells.push_back("");
    column.Cells.push_back("");
    doc.Entries.push_back(sum);
    doc.AddedColumns = {column};
    doc.Ratings = {1000, 500, 250, 125};
    if (n > 1) {
        doc.Matrix.resize(static_cast<size_t>(n));
        for (int32_t r = 0; r < n; ++r) {
            const int32_t length = doc.MatrixTriangular ? r : n;
            doc.Matrix[r].resize(static_cast<size_t>(length));
            for (int32_t c = 0; c < length; ++c)
                doc.Matrix[r][c] = next(5000);
        }
    }
    return doc;
}
