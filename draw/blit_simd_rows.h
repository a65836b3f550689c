// Vector row loops shared by the SSE2, AVX2, AVX-512 and WebAssembly SIMD
// builds of the blit kernels.
// Each instruction-set file includes this inside its own anonymous namespace,
// after choosing its target, so that each gets a private copy compiled for
// that target (a shared inline copy could be merged into the wrong one). The
// includer provides its intrinsics header, <cstring>, draw/blit_scalar.h and
// vector traits types: T (the register), N (pixels a register), Load, Store, LoadA
// (N alpha bytes widened to 16-bit lanes), Set1, Zero, And, Or, Add, CmpEq,
// MulHi (unsigned), AddSat (unsigned), Min (unsigned), Shl8, Select; a wide
// type with kMaskedStores also provides StoreNonKey for keyed rows.
//
// A row of at least one register runs as whole registers plus one last
// register that ends at the row's end and overlaps the one before. That last
// register is computed from the screen as it was before the row was touched
// and is stored last, so every pixel gets its rule once, on its own value.
// Rows narrower than the narrow register use the scalar rule.

template <class V>
struct TransparentOp {
    using T = typename V::T;
    explicit TransparentOp(const ChannelMasks&) {}
    T operator()(T D, T S, T) const { return V::Select(S, D, V::CmpEq(S, V::Zero())); }
    static uint16_t Scalar(uint16_t D, uint16_t S, uint32_t, const ChannelMasks&) { return S != 0 ? S : D; }
};

template <class V>
struct AlphaOp {
    using T = typename V::T;
    T red, green, blue, opaqueKey;
    explicit AlphaOp(const ChannelMasks& m)
        : red(V::Set1(m.red)), green(V::Set1(m.green)), blue(V::Set1(m.blue)), opaqueKey(V::Set1(255)) {}
    T operator()(T D, T S, T A) const {
        // (c * A) >> 8 for each channel c, as the high half of c * (A << 8).
        const T A8 = V::Shl8(A);
        const T b = V::MulHi(V::And(D, blue), A8);
        const T g = V::And(V::MulHi(V::And(D, green), A8), green);
        const T r = V::And(V::MulHi(V::And(D, red), A8), red);
        const T blended = V::Add(V::Or(V::Or(b, g), r), S);
        return V::Select(blended, D, V::CmpEq(A, opaqueKey));
    }
    static uint16_t Scalar(uint16_t D, uint16_t S, uint32_t A, const ChannelMasks& m) {
        return AlphaPixel(D, S, A, m);
    }
};

template <class V>
struct AdditiveOp {
    using T = typename V::T;
    T red, green, blue, opaqueKey;
    explicit AdditiveOp(const ChannelMasks& m)
        : red(V::Set1(m.red)), green(V::Set1(m.green)), blue(V::Set1(m.blue)), opaqueKey(V::Set1(255)) {}
    T operator()(T D, T S, T A) const {
        // A sum past 16 bits saturates at 0xFFFF, which the clamp then takes
        // down to the mask, as the exact sum would be.
        const T b = V::Min(V::AddSat(V::And(S, blue), V::And(D, blue)), blue);
        const T g = V::Min(V::AddSat(V::And(S, green), V::And(D, green)), green);
        const T r = V::Min(V::AddSat(V::And(S, red), V::And(D, red)), red);
        const T keep = V::Or(V::CmpEq(A, opaqueKey), V::CmpEq(S, V::Zero()));
        return V::Select(V::Or(V::Or(b, g), r), D, keep);
    }
    static uint16_t Scalar(uint16_t D, uint16_t S, uint32_t A, const ChannelMasks& m) {
        return AdditivePixel(D, S, A, m);
    }
};

// One row of w >= V::N pixels.
template <class V, bool kAlpha, class Op>
inline void RowV(uint16_t* d, const uint16_t* s, const uint8_t* a, int w, const Op& op) {
    using T = typename V::T;
    const int last = w - V::N;
    const T tail = op(V::Load(d + last), V::Load(s + last), kAlpha ? V::LoadA(a + last) : V::Zero());
    for (int i = 0; i < last; i += V::N)
        V::Store(d + i, op(V::Load(d + i), V::Load(s + i), kAlpha ? V::LoadA(a + i) : V::Zero()));
    V::Store(d + last, tail);
}

// Keyed rows with per-lane masked loads and stores (AVX-512BW): the image's
// non-key words are stored without reading the screen, and the row's end is
// a shorter mask rather than a separate path.
template <class V>
inline void MaskedTransparentRows(const BlitRect& r) {
    uint16_t* d = r.dst;
    const uint16_t* s = r.src;
    const int whole = r.width - r.width % V::N;
    for (int row = 0; row < r.height; ++row, d += r.dstPitch, s += r.srcPitch) {
        for (int i = 0; i < whole; i += V::N) V::StoreNonKey(d + i, s + i);
        if (whole < r.width) V::StoreNonKey(d + whole, s + whole, r.width - whole);
    }
}

template <class Wide, class Narrow, bool kAlpha, template <class> class Op>
inline void RunRows(const BlitRect& r, const ChannelMasks& m) {
    const Op<Wide> wide(m);
    const Op<Narrow> narrow(m);
    uint16_t* d = r.dst;
    const uint16_t* s = r.src;
    const uint8_t* a = r.alpha;
    const int w = r.width;
    for (int row = 0; row < r.height; ++row) {
        if (w >= Wide::N) {
            RowV<Wide, kAlpha>(d, s, a, w, wide);
        } else if (Narrow::N < Wide::N && w >= Narrow::N) {
            RowV<Narrow, kAlpha>(d, s, a, w, narrow);
        } else {
            for (int i = 0; i < w; ++i) d[i] = Op<Wide>::Scalar(d[i], s[i], kAlpha ? a[i] : 0u, m);
        }
        d += r.dstPitch;
        s += r.srcPitch;
        if (kAlpha) a += r.srcPitch;
    }
}

template <class V>
inline void CopyBlock(uint16_t* d, const uint16_t* s, int w) {
    using T = typename V::T;
    const int last = w - V::N;
    const T tail = V::Load(s + last);
    for (int i = 0; i < last; i += V::N) V::Store(d + i, V::Load(s + i));
    V::Store(d + last, tail);
}

template <class Wide, class Narrow>
inline void CopyRowV(uint16_t* d, const uint16_t* s, int w) {
    if (w >= Wide::N) {
        CopyBlock<Wide>(d, s, w);
    } else if (Narrow::N < Wide::N && w >= Narrow::N) {
        CopyBlock<Narrow>(d, s, w);
    } else if (w >= 4) {
        uint64_t head, tail;
        std::memcpy(&head, s, 8);
        std::memcpy(&tail, s + w - 4, 8);
        std::memcpy(d, &head, 8);
        std::memcpy(d + w - 4, &tail, 8);
    } else {
        for (int i = 0; i < w; ++i) d[i] = s[i];
    }
}

// Each screen row of the fill: the rest of the tile row from tileX, then
// whole tile rows, then the part of one that is left.
template <class Copy>
inline void TiledRows(const TiledFill& f, Copy copy) {
    uint16_t* row = f.dst;
    int ty = f.tileY;
    for (int y = 0; y < f.height; ++y, row += f.dstPitch) {
        const uint16_t* tileRow = f.tile + static_cast<ptrdiff_t>(ty) * f.tileWidth;
        uint16_t* d = row;
        int left = f.width;
        int first = f.tileWidth - f.tileX;
        if (first > left) first = left;
        copy(d, tileRow + f.tileX, first);
        d += first;
        left -= first;
        for (; left >= f.tileWidth; left -= f.tileWidth, d += f.tileWidth) copy(d, tileRow, f.tileWidth);
        if (left > 0) copy(d, tileRow, left);
        if (++ty == f.tileHeight) ty = 0;
    }
}

inline bool MasksFit16(const ChannelMasks& m) { return (m.red | m.green | m.blue) <= 0xFFFFu; }

template <class Wide, class Narrow>
struct KernelSet {
    static void Solid(const BlitRect& r) {
        uint16_t* d = r.dst;
        const uint16_t* s = r.src;
        for (int row = 0; row < r.height; ++row, d += r.dstPitch, s += r.srcPitch) CopyRowV<Wide, Narrow>(d, s, r.width);
    }
    static void Transparent(const BlitRect& r) {
        if constexpr (requires { Wide::kMaskedStores; })
            MaskedTransparentRows<Wide>(r);
        else
            RunRows<Wide, Narrow, false, TransparentOp>(r, ChannelMasks{0, 0, 0});
    }
    static void Alpha(const BlitRect& r, const ChannelMasks& m) {
        if (MasksFit16(m))
            RunRows<Wide, Narrow, true, AlphaOp>(r, m);
        else
            AlphaScalar(r, m);
    }
    static void Additive(const BlitRect& r, const ChannelMasks& m) {
        if (MasksFit16(m))
            RunRows<Wide, Narrow, true, AdditiveOp>(r, m);
        else
            AdditiveScalar(r, m);
    }
    static void CopyRow(uint16_t* d, const uint16_t* s, int w) { CopyRowV<Wide, Narrow>(d, s, w); }
    static void Tiled(const TiledFill& f) { TiledRows(f, CopyRowV<Wide, Narrow>); }
};
