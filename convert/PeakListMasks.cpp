#include "convert/PeakListMasks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tavrelsvc::detail {

namespace {

using Masks = BlockClasses::Masks;

void classifyPortable(Masks& m, const char* p, qsizetype parts) {
    for (qsizetype i = 0; i < parts; ++i) {
#if defined(__SSE2__)
        using T = ByteTests;
        const T::Vector v = T::load(p + 16 * i);
        m[BlockClasses::Cr][i] = quint16(T::bits(T::is(v, '\r')));
        m[BlockClasses::Lf][i] = quint16(T::bits(T::is(v, '\n')));
        m[BlockClasses::Space][i] = quint16(T::bits(T::is(v, ' ')));
        m[BlockClasses::Tab][i] = quint16(T::bits(T::is(v, '\t')));
        m[BlockClasses::Exponent][i] = quint16(T::bits(T::exponent(v)));
        m[BlockClasses::Lead][i] = quint16(T::bits(T::lead(v)));
        m[BlockClasses::Zero][i] = quint16(T::bits(T::is(v, '0')));
#else
        quint16 c[BlockClasses::kClasses] = {};
        for (int k = 0; k < 16; ++k) {
            const char b = p[16 * i + k];
            c[BlockClasses::Cr] |= quint16(b == '\r') << k;
            c[BlockClasses::Lf] |= quint16(b == '\n') << k;
            c[BlockClasses::Space] |= quint16(b == ' ') << k;
            c[BlockClasses::Tab] |= quint16(b == '\t') << k;
            c[BlockClasses::Exponent] |= quint16((b | 0x20) == 'e') << k;
            c[BlockClasses::Lead] |= quint16(b >= '1' && b <= '9') << k;
            c[BlockClasses::Zero] |= quint16(b == '0') << k;
        }
        for (int k = 0; k < BlockClasses::kClasses; ++k) m[k][i] = c[k];
#endif
    }
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"), always_inline)) inline void put(Masks& m, BlockClasses::Class c, qsizetype i,
                                                                __m256i bytes) {
    const quint32 bits = quint32(_mm256_movemask_epi8(bytes));
    std::memcpy(&m[c][i], &bits, sizeof bits);
}

__attribute__((target("avx2"), always_inline)) inline __m256i is(__m256i v, char c) {
    return _mm256_cmpeq_epi8(v, _mm256_set1_epi8(c));
}

// 32 bytes at a time; the last part may be read past, into the room the
// block has for that.
__attribute__((target("avx2"))) void classifyAvx2(Masks& m, const char* p, qsizetype parts) {
    for (qsizetype i = 0; i < parts; i += 2) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 16 * i));
        put(m, BlockClasses::Cr, i, is(v, '\r'));
        put(m, BlockClasses::Lf, i, is(v, '\n'));
        put(m, BlockClasses::Space, i, is(v, ' '));
        put(m, BlockClasses::Tab, i, is(v, '\t'));
        put(m, BlockClasses::Exponent, i, is(_mm256_or_si256(v, _mm256_set1_epi8(0x20)), 'e'));
        put(m, BlockClasses::Lead, i, _mm256_and_si256(_mm256_cmpgt_epi8(v, _mm256_set1_epi8('0')),
                                                      _mm256_cmpgt_epi8(_mm256_set1_epi8('9' + 1), v)));
        put(m, BlockClasses::Zero, i, is(v, '0'));
    }
}

using Classifier = void (*)(Masks&, const char*, qsizetype);

Classifier bestClassifier() { return __builtin_cpu_supports("avx2") ? classifyAvx2 : classifyPortable; }
#endif

}  // namespace

void BlockClasses::classify(const char* p, qsizetype bytes) {
#if defined(__x86_64__) || defined(__i386__)
    static const Classifier classifier = bestClassifier();  // the processor does not change
    classifier(masks_, p, (bytes + 15) / 16);
    clearPast(bytes);
#else
    classifyPortably(p, bytes);
#endif
}

void BlockClasses::classifyPortably(const char* p, qsizetype bytes) {
    classifyPortable(masks_, p, (bytes + 15) / 16);
    clearPast(bytes);
}

void BlockClasses::clearPast(qsizetype bytes) {
    // A partial last part, and the parts read past it, hold bytes past the
    // stretch; and windows read on past the last part.
    const qsizetype parts = (bytes + 15) / 16;
    const quint16 tail = bytes % 16 ? quint16((1u << (bytes % 16)) - 1) : quint16(0xffff);
    for (auto& m : masks_) {
        if (parts > 0) m[parts - 1] &= tail;
        std::memset(m + parts, 0, sizeof(quint16) * kPad);
    }
}

}  // namespace tavrelsvc::detail
