#pragma once
// Processor vendor and instruction-set features (CPUID), the operating
// system's support for the AVX register states (XGETBV), a plain-text
// report of them, and text formatters for 128-bit and 256-bit SIMD values.
// x86-64 only.

#include <cstdint>
#include <functional>
#include <string>

#include <immintrin.h>

namespace ko {

// Runs CPUID with the leaf and sub-leaf 0; stores EAX, EBX, ECX, EDX in
// that order and returns EAX.
std::int32_t query_cpuid(std::int32_t registers[4], std::int32_t leaf);

// The 64-bit value of an extended control register. The processor must
// support XGETBV (CPUID leaf 1, ECX bit 27); os_supports_avx checks that.
std::uint64_t query_xgetbv(std::uint32_t index);

// Where detection takes its register values from: the processor itself by
// default, or any other source (used to decode recorded values).
struct cpu_register_source
{
    std::function<void(std::int32_t registers[4], std::int32_t leaf)> cpuid;
    std::function<std::uint64_t(std::uint32_t index)> xgetbv;

    static const cpu_register_source& processor();
};

bool os_supports_x64();
bool os_supports_avx();
bool os_supports_avx(const cpu_register_source& source);
bool os_supports_avx512();
bool os_supports_avx512(const cpu_register_source& source);

struct cpu_features
{
    // Vendor
    bool vendor_amd = false;
    bool vendor_intel = false;
    // Operating system
    bool os_64bit = false;
    bool os_avx = false;
    bool os_avx512 = false;
    // Hardware
    bool mmx = false;
    bool x64 = false;
    bool abm = false;
    bool rdrand = false;
    bool bmi1 = false;
    bool bmi2 = false;
    bool adx = false;
    bool prefetchwt1 = false;
    bool mpx = false;
    // SIMD 128-bit
    bool sse = false;
    bool sse2 = false;
    bool sse3 = false;
    bool ssse3 = false;
    bool sse41 = false;
    bool sse42 = false;
    bool sse4a = false;
    bool aes = false;
    bool sha = false;
    // SIMD 256-bit
    bool avx = false;
    bool xop = false;
    bool fma3 = false;
    bool fma4 = false;
    bool avx2 = false;
    // SIMD 512-bit
    bool avx512_f = false;
    bool avx512_pf = false;
    bool avx512_er = false;
    bool avx512_cd = false;
    bool avx512_vl = false;
    bool avx512_bw = false;
    bool avx512_dq = false;
    bool avx512_ifma = false;
    bool avx512_vbmi = false;

    // All flags false, then detection on this processor.
    cpu_features();
    // All flags false, then detection from the given source.
    explicit cpu_features(const cpu_register_source& source);

    void detect();
    void detect(const cpu_register_source& source);
};

// Writes the seven-section report to standard output.
void print_cpu_report(const cpu_features& features);

// Detects once per process and prints the report.
void show_cpu_report();

// The 12-character vendor identification of CPUID leaf 0.
std::string cpu_vendor_text();
std::string cpu_vendor_text(const cpu_register_source& source);

// Writes label, "Yes" or "No" and a line end to standard output; flushes.
void print_feature_line(const char* label, bool value);

// "0x" and the bytes of each 32-bit word in memory order (upper-case hex),
// words separated by ",0x", then a blank and the words in unsigned decimal
// separated by ",".
std::string vector128_text(const __m128i& value);
std::string labelled_vector128_text(const char* label, const __m128i& value);
void print_vector128(const __m128i& value);

// The 256-bit forms run AVX instructions: call them only where the
// processor has AVX and the operating system enables its register state.
__attribute__((target("avx"))) std::string vector256_text(const __m256i& value);
__attribute__((target("avx"))) std::string labelled_vector256_text(const char* label, const __m256i& value);
__attribute__((target("avx"))) void print_vector256(const __m256i& value);

} // namespace ko
