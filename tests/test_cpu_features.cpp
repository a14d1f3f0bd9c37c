// Processor feature detection from recorded register values and from this
// machine, the report's text and the SIMD value formatters.
#include "ko/cpu_features.h"

#include <QtTest>

#include <cstring>
#include <iostream>
#include <map>
#include <sstream>

namespace {

// A processor described by register values per CPUID leaf.
struct recorded_processor
{
    std::map<std::uint32_t, std::array<std::int32_t, 4>> leaves;
    std::uint64_t xcr0 = 0;
    int xgetbv_calls = 0;

    ko::cpu_register_source source()
    {
        return {[this](std::int32_t r[4], std::int32_t leaf) {
                    const auto it = leaves.find(static_cast<std::uint32_t>(leaf));
                    for (int i = 0; i < 4; ++i)
                        r[i] = it == leaves.end() ? 0 : it->second[i];
                },
                [this](std::uint32_t index) {
                    ++xgetbv_calls;
                    return index == 0 ? xcr0 : 0;
                }};
    }

    void set_vendor(const char* text, std::int32_t highest_leaf)
    {
        std::array<std::int32_t, 4> r{highest_leaf, 0, 0, 0};
        std::memcpy(&r[1], text + 0, 4);
        std::memcpy(&r[3], text + 4, 4);
        std::memcpy(&r[2], text + 8, 4);
        leaves[0] = r;
    }
};

std::int32_t bits(std::initializer_list<int> list)
{
    std::uint32_t value = 0;
    for (int b : list)
        value |= 1u << b;
    return static_cast<std::int32_t>(value);
}

// Captures what is written to std::cout while it lives.
class capture_stdout
{
public:
    capture_stdout() : previous(std::cout.rdbuf(buffer.rdbuf())) {}
    ~capture_stdout() { std::cout.rdbuf(previous); }
    std::string text() const { return buffer.str(); }

private:
    std::ostringstream buffer;
    std::streambuf* previous;
};

std::string report_of(const ko::cpu_features& f)
{
    capture_stdout out;
    ko::print_cpu_report(f);
    return out.text();
}

} // namespace

class test_cpu_features : public QObject {
    Q_OBJECT
private slots:
    void decodes_recorded_intel_with_avx512()
    {
        recorded_processor cpu;
        cpu.set_vendor("GenuineIntel", 7);
        cpu.leaves[1] = {0, 0, bits({0, 9, 12, 19, 20, 25, 27, 28, 30}), bits({23, 25, 26})};
        cpu.leaves[7] = {0, bits({3, 5, 8, 16, 17, 19, 21, 28, 29, 30, 31}), bits({1}), 0};
        cpu.leaves[0x80000000u] = {static_cast<std::int32_t>(0x80000008u), 0, 0, 0};
        cpu.leaves[0x80000001u] = {0, 0, bits({5}), bits({29})};
        cpu.xcr0 = 0xE7;

        const ko::cpu_features f(cpu.source());
        QVERIFY(f.vendor_intel && !f.vendor_amd);
        QVERIFY(f.os_64bit && f.os_avx && f.os_avx512);
        QVERIFY(f.mmx && f.sse2 && f.ssse3 && f.fma3 && f.sse42 && f.aes && f.avx && f.rdrand && f.bmi1 && f.avx2);
        QVERIFY(f.avx512_f && f.avx512_dq && f.adx && f.avx512_ifma && f.sha && f.avx512_bw && f.avx512_vbmi);
        QVERIFY(!f.mpx && !f.avx512_pf && !f.prefetchwt1 && f.x64 && f.abm && !f.sse4a && !f.xop);

        // A few representative lines of the report.
        const std::string report = report_of(f);
        for (const char* line : {"CPU Vendor:\n    AMD         = No\n    Intel       = Yes\n\n",
                                 "    MPX         = No\n", "SIMD: 512-bit\n    AVX512-F    = Yes\n",
                                 "Summary:\n    Safe to use AVX:     Yes\n    Safe to use AVX512:  Yes\n\n"})
            QVERIFY2(report.find(line) != std::string::npos, line);
    }

    void decodes_recorded_amd_extended_leaf()
    {
        recorded_processor cpu;
        cpu.set_vendor("AuthenticAMD", 1);
        cpu.leaves[1] = {0, 0, bits({0, 27, 28}), bits({23, 25, 26})};
        // Leaf 7 data is there but the highest basic leaf says it is not.
        cpu.leaves[7] = {0, -1, -1, 0};
        cpu.leaves[0x80000000u] = {static_cast<std::int32_t>(0x80000001u), 0, 0, 0};
        cpu.leaves[0x80000001u] = {0, 0, bits({5, 6, 11, 16}), bits({29})};
        cpu.xcr0 = 0x7; // AVX state on, AVX-512 states off

        const ko::cpu_features f(cpu.source());
        QVERIFY(f.vendor_amd && !f.vendor_intel);
        QVERIFY(f.os_avx && !f.os_avx512);
        QVERIFY(f.avx && !f.avx2 && !f.avx512_f && !f.bmi1 && !f.sha);
        QVERIFY(f.x64 && f.abm && f.sse4a && f.xop && f.fma4);
        QVERIFY(report_of(f).find("    Safe to use AVX:     Yes\n    Safe to use AVX512:  No\n") != std::string::npos);
    }

    void unknown_vendor_and_missing_leaves()
    {
        recorded_processor cpu;
        cpu.set_vendor("HygonGenuine", 0);
        cpu.leaves[1] = {0, 0, -1, -1};
        cpu.leaves[0x80000000u] = {static_cast<std::int32_t>(0x80000000u), 0, 0, 0};
        cpu.leaves[0x80000001u] = {0, 0, -1, -1};
        QCOMPARE(ko::cpu_vendor_text(cpu.source()), std::string("HygonGenuine"));

        const ko::cpu_features f(cpu.source());
        QVERIFY(!f.vendor_amd && !f.vendor_intel);
        // Highest basic leaf 0 and highest extended leaf 0x80000000: no feature flags.
        QVERIFY(!f.mmx && !f.sse && !f.avx && !f.x64 && !f.abm);
    }

    void no_xgetbv_without_os_xsave()
    {
        recorded_processor cpu;
        cpu.set_vendor("GenuineIntel", 7);
        // AVX and AVX-512 F present, but the OS has not enabled XSAVE.
        cpu.leaves[1] = {0, 0, bits({28}), 0};
        cpu.leaves[7] = {0, bits({16}), 0, 0};
        cpu.xcr0 = 0xE7;

        const ko::cpu_features f(cpu.source());
        QCOMPARE(cpu.xgetbv_calls, 0);
        QVERIFY(f.avx && f.avx512_f);
        QVERIFY(!f.os_avx && !f.os_avx512);
        QVERIFY(report_of(f).find("    Safe to use AVX:     No\n    Safe to use AVX512:  No\n") != std::string::npos);

        // XSAVE on, but the OS keeps the YMM state off.
        cpu.leaves[1] = {0, 0, bits({27, 28}), 0};
        cpu.xcr0 = 0x3;
        QVERIFY(!ko::os_supports_avx(cpu.source()));
        cpu.xcr0 = 0x7;
        QVERIFY(ko::os_supports_avx(cpu.source()) && !ko::os_supports_avx512(cpu.source()));
    }

    void agrees_with_compiler_runtime_on_this_machine()
    {
        __builtin_cpu_init();
        const ko::cpu_features f;
        QVERIFY(f.os_64bit && ko::os_supports_x64());
        QCOMPARE(ko::cpu_vendor_text().size(), std::size_t(12));
        QCOMPARE(f.vendor_intel, bool(__builtin_cpu_is("intel")));
        QCOMPARE(f.vendor_amd, bool(__builtin_cpu_is("amd")));
        // The runtime counts the AVX families only with the register state enabled.
        const bool avx = f.os_avx, z = f.os_avx512;
        const struct { const char* name; bool ours; bool runtime; } flags[] = {
            {"sse2", f.sse2, bool(__builtin_cpu_supports("sse2"))},
            {"sse4.2", f.sse42, bool(__builtin_cpu_supports("sse4.2"))},
            {"sse4a", f.sse4a, bool(__builtin_cpu_supports("sse4a"))},
            {"aes", f.aes, bool(__builtin_cpu_supports("aes"))},
            {"bmi2", f.bmi2, bool(__builtin_cpu_supports("bmi2"))},
            {"sha", f.sha, bool(__builtin_cpu_supports("sha"))},
            {"avx", f.avx && avx, bool(__builtin_cpu_supports("avx"))},
            {"avx2", f.avx2 && avx, bool(__builtin_cpu_supports("avx2"))},
            {"fma", f.fma3 && avx, bool(__builtin_cpu_supports("fma"))},
            {"avx512f", f.avx512_f && z, bool(__builtin_cpu_supports("avx512f"))},
            {"avx512bw", f.avx512_bw && z, bool(__builtin_cpu_supports("avx512bw"))},
            {"avx512vl", f.avx512_vl && z, bool(__builtin_cpu_supports("avx512vl"))},
        };
        for (const auto& flag : flags)
            QVERIFY2(flag.ours == flag.runtime, flag.name);
        QCOMPARE(f.os_avx512, ko::os_supports_avx512());
        // The printed report is the one of this machine's features.
        capture_stdout out;
        ko::show_cpu_report();
        QCOMPARE(out.text(), report_of(f));
    }

    void vector_formatting()
    {
        const __m128i w = _mm_setr_epi32(static_cast<int>(0xDEADBEEF), -1, 0, 0x7FFFFFFF);
        QCOMPARE(ko::vector128_text(w),
                 std::string("0xEFBEADDE,0xFFFFFFFF,0x00000000,0xFFFFFF7F 3735928559,4294967295,0,2147483647"));
        const ko::cpu_features f;
        if (!(f.avx && f.os_avx))
            QSKIP("this processor or system cannot run AVX code");
        alignas(32) const std::int32_t words[8] = {1, 2, 3, 4, 5, 6, 7, 255};
        __m256i v;
        std::memcpy(&v, words, sizeof v);
        QCOMPARE(ko::labelled_vector256_text("ymm1", v),
                 std::string("ymm1: 0x01000000,0x02000000,0x03000000,0x04000000,0x05000000,0x06000000,"
                             "0x07000000,0xFF000000 1,2,3,4,5,6,7,255 "));
    }
};

QTEST_MAIN(test_cpu_features)
#include "test_cpu_features.moc"
