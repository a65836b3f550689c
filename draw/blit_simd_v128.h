// The 8-pixel register set that the AVX2 and AVX-512 kernels use for rows
// narrower than their wide registers. Not a standalone header: it is included
// inside the anonymous namespace of a kernel file, after that file has
// switched the compiler's target (it needs SSE4.1 instructions).

struct V128 {
    using T = __m128i;
    static constexpr int N = 8;
    static T Load(const uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(uint16_t* p, T v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static T LoadA(const uint8_t* p) {
        return _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
    }
    static T Set1(uint32_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static T Zero() { return _mm_setzero_si128(); }
    static T And(T a, T b) { return _mm_and_si128(a, b); }
    static T Or(T a, T b) { return _mm_or_si128(a, b); }
    static T Add(T a, T b) { return _mm_add_epi16(a, b); }
    static T CmpEq(T a, T b) { return _mm_cmpeq_epi16(a, b); }
    static T MulHi(T a, T b) { return _mm_mulhi_epu16(a, b); }
    static T AddSat(T a, T b) { return _mm_adds_epu16(a, b); }
    static T Min(T a, T b) { return _mm_min_epu16(a, b); }
    static T Shl8(T a) { return _mm_slli_epi16(a, 8); }
    static T Select(T a, T b, T mask) { return _mm_blendv_epi8(a, b, mask); }
};
