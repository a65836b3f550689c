// The 16-pixel register set of the AVX2 and AVX-512 kernels. Not a
// standalone header: it is included inside the anonymous namespace of a
// kernel file, after that file has switched the compiler's target to AVX2.

struct V256 {
    using T = __m256i;
    static constexpr int N = 16;
    static T Load(const uint16_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(uint16_t* p, T v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static T LoadA(const uint8_t* p) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    static T Set1(uint32_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static T Zero() { return _mm256_setzero_si256(); }
    static T And(T a, T b) { return _mm256_and_si256(a, b); }
    static T Or(T a, T b) { return _mm256_or_si256(a, b); }
    static T Add(T a, T b) { return _mm256_add_epi16(a, b); }
    static T CmpEq(T a, T b) { return _mm256_cmpeq_epi16(a, b); }
    static T MulHi(T a, T b) { return _mm256_mulhi_epu16(a, b); }
    static T AddSat(T a, T b) { return _mm256_adds_epu16(a, b); }
    static T Min(T a, T b) { return _mm256_min_epu16(a, b); }
    static T Shl8(T a) { return _mm256_slli_epi16(a, 8); }
    static T Select(T a, T b, T mask) { return _mm256_blendv_epi8(a, b, mask); }
};
