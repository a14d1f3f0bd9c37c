#include "ko/cpu_features.h"

#include <cpuid.h>

#include <cstdio>
#include <cstring>
#include <iostream>

namespace ko {

std::int32_t query_cpuid(std::int32_t registers[4], std::int32_t leaf)
{
    unsigned int a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(static_cast<unsigned int>(leaf), 0u, a, b, c, d);
    registers[0] = static_cast<std::int32_t>(a);
    registers[1] = static_cast<std::int32_t>(b);
    registers[2] = static_cast<std::int32_t>(c);
    registers[3] = static_cast<std::int32_t>(d);
    return registers[0];
}

std::uint64_t query_xgetbv(std::uint32_t index)
{
    std::uint32_t eax = 0, edx = 0;
    __asm__ volatile("xgetbv" : "=a"(eax), "=d"(edx) : "c"(index));
    return (static_cast<std::uint64_t>(edx) << 32) | eax;
}

const cpu_register_source& cpu_register_source::processor()
{
    static const cpu_register_source source{
        [](std::int32_t registers[4], std::int32_t leaf) { query_cpuid(registers, leaf); },
        [](std::uint32_t index) { return query_xgetbv(index); }};
    return source;
}

namespace {

bool bit(std::int32_t value, int index)
{
    return (static_cast<std::uint32_t>(value) >> index) & 1u;
}

enum { EAX = 0, EBX = 1, ECX = 2, EDX = 3 };

} // namespace

bool os_supports_x64()
{
    return true;
}

bool os_supports_avx(const cpu_register_source& source)
{
    std::int32_t info[4] = {};
    source.cpuid(info, 1);
    // XGETBV exists only when the OS has enabled XSAVE (bit 27).
    const bool os_uses_xsave = bit(info[ECX], 27);
    const bool cpu_has_avx = bit(info[ECX], 28);
    if (!os_uses_xsave || !cpu_has_avx)
        return false;
    const std::uint64_t xcr0 = source.xgetbv(0);
    return (xcr0 & 0x6) == 0x6;
}

bool os_supports_avx()
{
    return os_supports_avx(cpu_register_source::processor());
}

bool os_supports_avx512(const cpu_register_source& source)
{
    if (!os_supports_avx(source))
        return false;
    const std::uint64_t xcr0 = source.xgetbv(0);
    return (xcr0 & 0xE6) == 0xE6;
}

bool os_supports_avx512()
{
    return os_supports_avx512(cpu_register_source::processor());
}

std::string cpu_vendor_text(const cpu_register_source& source)
{
    std::int32_t info[4] = {};
    source.cpuid(info, 0);
    char text[12];
    std::memcpy(text + 0, &info[EBX], 4);
    std::memcpy(text + 4, &info[EDX], 4);
    std::memcpy(text + 8, &info[ECX], 4);
    return std::string(text, 12);
}

std::string cpu_vendor_text()
{
    return cpu_vendor_text(cpu_register_source::processor());
}

cpu_features::cpu_features()
{
    detect();
}

cpu_features::cpu_features(const cpu_register_source& source)
{
    detect(source);
}

void cpu_features::detect()
{
    detect(cpu_register_source::processor());
}

void cpu_features::detect(const cpu_register_source& source)
{
    os_64bit = os_supports_x64();
    os_avx = os_supports_avx(source);
    os_avx512 = os_supports_avx512(source);

    const std::string vendor = cpu_vendor_text(source);
    if (vendor == "GenuineIntel")
        vendor_intel = true;
    else if (vendor == "AuthenticAMD")
        vendor_amd = true;

    std::int32_t info[4] = {};
    source.cpuid(info, 0);
    const std::int32_t basic_leaves = info[EAX];
    source.cpuid(info, static_cast<std::int32_t>(0x80000000u));
    const auto extended_leaves = static_cast<std::uint32_t>(info[EAX]);

    if (basic_leaves >= 1) {
        source.cpuid(info, 1);
        mmx = bit(info[EDX], 23);
        sse = bit(info[EDX], 25);
        sse2 = bit(info[EDX], 26);
        sse3 = bit(info[ECX], 0);
        ssse3 = bit(info[ECX], 9);
        fma3 = bit(info[ECX], 12);
        sse41 = bit(info[ECX], 19);
        sse42 = bit(info[ECX], 20);
        aes = bit(info[ECX], 25);
        avx = bit(info[ECX], 28);
        rdrand = bit(info[ECX], 30);
    }
    if (basic_leaves >= 7) {
        source.cpuid(info, 7);
        bmi1 = bit(info[EBX], 3);
        avx2 = bit(info[EBX], 5);
        bmi2 = bit(info[EBX], 8);
        mpx = bit(info[EBX], 14);
        avx512_f = bit(info[EBX], 16);
        avx512_dq = bit(info[EBX], 17);
        adx = bit(info[EBX], 19);
        avx512_ifma = bit(info[EBX], 21);
        avx512_pf = bit(info[EBX], 26);
        avx512_er = bit(info[EBX], 27);
        avx512_cd = bit(info[EBX], 28);
        sha = bit(info[EBX], 29);
        avx512_bw = bit(info[EBX], 30);
        avx512_vl = bit(info[EBX], 31);
        prefetchwt1 = bit(info[ECX], 0);
        avx512_vbmi = bit(info[ECX], 1);
    }
    if (extended_leaves > 0x80000000u) {
        source.cpuid(info, static_cast<std::int32_t>(0x80000001u));
        x64 = bit(info[EDX], 29);
        abm = bit(info[ECX], 5);
        sse4a = bit(info[ECX], 6);
        xop = bit(info[ECX], 11);
        fma4 = bit(info[ECX], 16);
    }
}

void print_feature_line(const char* label, bool value)
{
    std::cout << label << (value ? "Yes" : "No") << '\n';
    std::cout.flush();
}

namespace {

void print_flag(const char* label, bool value)
{
    char line[32];
    std::snprintf(line, sizeof line, "    %-12s= ", label);
    print_feature_line(line, value);
}

} // namespace

void print_cpu_report(const cpu_features& f)
{
    std::cout << "CPU Vendor:\n";
    print_flag("AMD", f.vendor_amd);
    print_flag("Intel", f.vendor_intel);
    std::cout << '\n';

    std::cout << "OS Features:\n";
    print_flag("64-bit", f.os_64bit);
    print_flag("OS AVX", f.os_avx);
    print_flag("OS AVX512", f.os_avx512);
    std::cout << '\n';

    std::cout << "Hardware Features:\n";
    print_flag("MMX", f.mmx);
    print_flag("x64", f.x64);
    print_flag("ABM", f.abm);
    print_flag("RDRAND", f.rdrand);
    print_flag("BMI1", f.bmi1);
    print_flag("BMI2", f.bmi2);
    print_flag("ADX", f.adx);
    print_flag("MPX", f.mpx);
    print_flag("PREFETCHWT1", f.prefetchwt1);
    std::cout << '\n';

    std::cout << "SIMD: 128-bit\n";
    print_flag("SSE", f.sse);
    print_flag("SSE2", f.sse2);
    print_flag("SSE3", f.sse3);
    print_flag("SSSE3", f.ssse3);
    print_flag("SSE4a", f.sse4a);
    print_flag("SSE4.1", f.sse41);
    print_flag("SSE4.2", f.sse42);
    print_flag("AES-NI", f.aes);
    print_flag("SHA", f.sha);
    std::cout << '\n';

    std::cout << "SIMD: 256-bit\n";
    print_flag("AVX", f.avx);
    print_flag("XOP", f.xop);
    print_flag("FMA3", f.fma3);
    print_flag("FMA4", f.fma4);
    print_flag("AVX2", f.avx2);
    std::cout << '\n';

    std::cout << "SIMD: 512-bit\n";
    print_flag("AVX512-F", f.avx512_f);
    print_flag("AVX512-CD", f.avx512_cd);
    print_flag("AVX512-PF", f.avx512_pf);
    print_flag("AVX512-ER", f.avx512_er);
    print_flag("AVX512-VL", f.avx512_vl);
    print_flag("AVX512-BW", f.avx512_bw);
    print_flag("AVX512-DQ", f.avx512_dq);
    print_flag("AVX512-IFMA", f.avx512_ifma);
    print_flag("AVX512-VBMI", f.avx512_vbmi);
    std::cout << '\n';

    std::cout << "Summary:\n";
    print_feature_line("    Safe to use AVX:     ", f.avx && f.os_avx);
    print_feature_line("    Safe to use AVX512:  ", f.avx512_f && f.os_avx512);
    std::cout << '\n';
    std::cout.flush();
}

void show_cpu_report()
{
    static const cpu_features features;
    print_cpu_report(features);
}

namespace {

std::string words_text(const std::uint32_t* words, int count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += i == 0 ? "0x" : ",0x";
        unsigned char bytes[4];
        std::memcpy(bytes, &words[i], 4);
        for (unsigned char b : bytes) {
            text += digits[b >> 4];
            text += digits[b & 0xF];
        }
    }
    text += ' ';
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(words[i]);
    }
    return text;
}

} // namespace

std::string vector128_text(const __m128i& value)
{
    alignas(16) std::uint32_t words[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(words), value);
    return words_text(words, 4);
}

std::string labelled_vector128_text(const char* label, const __m128i& value)
{
    return std::string(label) + ": " + vector128_text(value) + " ";
}

void print_vector128(const __m128i& value)
{
    std::cout << vector128_text(value) << '\n';
}

__attribute__((target("avx"))) std::string vector256_text(const __m256i& value)
{
    alignas(32) std::uint32_t words[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(words), _mm256_loadu_si256(&value));
    return words_text(words, 8);
}

__attribute__((target("avx"))) std::string labelled_vector256_text(const char* label, const __m256i& value)
{
    return std::string(label) + ": " + vector256_text(value) + " ";
}

__attribute__((target("avx"))) void print_vector256(const __m256i& value)
{
    std::cout << vector256_text(value) << '\n';
}

} // namespace ko
