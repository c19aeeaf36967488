#include "platform/pictures.h"

#include "win/layered.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>

#include "platform/picture_scale.h"
#include "res/resource_ids.h"

namespace {

// Each picture's master: drawn `scale` times the 100 % size, a strip of `frames` frames.
struct Master {
    unsigned bitmapId;
    unsigned masterId;
    int scale;
    int frames;
};

const Master masters[] = {
    {IDB_BALL, IDR_MASTER_BALL, 4, 7},          {IDB_BACKBOARD, IDR_MASTER_BACKBOARD, 4, 1},
    {IDB_NET, IDR_MASTER_NET, 4, 1},            {IDB_SCOREBOARD, IDR_MASTER_SCOREBOARD, 4, 1},
    {IDB_DIGITS, IDR_MASTER_DIGITS, 4, 10},     {IDB_ABOUT, IDR_MASTER_ABOUT, 2, 1},
};

// Releases a COM interface when it goes out of scope.
template <class T>
struct Com {
    T* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p != nullptr) p->Release();
    }
};

// COM for this thread for as long as a decode takes, unless the thread has it already.
struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ComScope() = default;
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();  // S_FALSE too: every success is counted
    }
    bool usable() const { return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE; }
};

IWICImagingFactory* newFactory() {
    IWICImagingFactory* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))))
        return nullptr;
    return factory;
}

// What the living PictureCodecs keeps, for its thread.
struct Kept {
    bool active = false;
    DWORD thread = 0;
    bool started = false;  // COM asked for, and the factory made if it could be
    HRESULT com = E_FAIL;
    IWICImagingFactory* factory = nullptr;
} kept;

// The kept factory of this thread, made on first use; null where none is kept.
IWICImagingFactory* keptFactory() {
    if (!kept.active || kept.thread != GetCurrentThreadId()) return nullptr;
    if (!kept.started) {
        kept.started = true;
        kept.com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(kept.com) || kept.com == RPC_E_CHANGED_MODE) kept.factory = newFactory();
    }
    return kept.factory;
}

// A PNG in memory decoded by the system's own PNG decoder, which gives exact pixels.
bool decodeWith(IWICImagingFactory* factory, const void* data, DWORD size, PixelImage& out) {
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(factory->CreateStream(&stream.p)) ||
        FAILED(stream.p->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size)) ||
        FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder.p)) ||
        FAILED(decoder.p->Initialize(stream.p, WICDecodeMetadataCacheOnLoad)) ||
        FAILED(decoder.p->GetFrame(0, &frame.p)) ||
        FAILED(factory->CreateFormatConverter(&converter.p)) ||
        FAILED(converter.p->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA,
                                       WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom)) ||
        FAILED(converter.p->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > 4096 || height > 8192) {
        return false;
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    return SUCCEEDED(converter.p->CopyPixels(nullptr, width * 4, width * height * 4,
                                             reinterpret_cast<BYTE*>(out.pixels.data())));
}

// The PNG resource `id`, through this thread's PictureCodecs if it has one.
bool decodePng(HINSTANCE instance, unsigned id, PixelImage& out) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(instance, found) : 0;
    if (data == nullptr || size == 0) return false;

    if (IWICImagingFactory* factory = keptFactory()) return decodeWith(factory, data, size, out);
    ComScope com;
    if (!com.usable()) return false;
    Com<IWICImagingFactory> factory;  // released before `com` ends
    factory.p = newFactory();
    return factory.p != nullptr && decodeWith(factory.p, data, size, out);
}

// A top-down 32-bit DIB section holding `image`.
HBITMAP makeBitmap(const PixelImage& image) {
    BITMAPINFO info = layered::topDownInfo(image.width, image.height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(image.pixels[0]));
    GdiFlush();
    return bitmap;
}

// The bitmap resource `bitmapId` as a top-down 32-bit DIB section. A 32-bit resource keeps its
// top byte (its alpha); one of fewer bits gets a top byte of 0.
HBITMAP loadResourcePicture(HINSTANCE instance, unsigned bitmapId) {
    auto loaded = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    DIBSECTION dib{};
    if (loaded == nullptr) return nullptr;
    if (GetObjectA(loaded, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBits == nullptr) {
        DeleteObject(loaded);
        return nullptr;
    }
    PixelImage image;
    image.width = dib.dsBm.bmWidth;
    image.height = dib.dsBm.bmHeight;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    bool ok = true;
    if (dib.dsBm.bmBitsPixel == 32) {
        // GetDIBits would not promise to carry the top byte over; the rows are copied as they are.
        const bool bottomUp = dib.dsBmih.biHeight > 0;
        const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
        for (int y = 0; y < image.height; ++y) {
            const int row = bottomUp ? image.height - 1 - y : y;
            std::memcpy(&image.pixels[static_cast<std::size_t>(y) * image.width],
                        bits + static_cast<std::size_t>(row) * dib.dsBm.bmWidthBytes,
                        static_cast<std::size_t>(image.width) * 4);
        }
    } else {
        BITMAPINFO info = layered::topDownInfo(image.width, image.height);
        HDC screen = GetDC(nullptr);
        ok = screen != nullptr && GetDIBits(screen, loaded, 0, static_cast<UINT>(image.height), image.pixels.data(),
                                            &info, DIB_RGB_COLORS) == image.height;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        for (std::uint32_t& pixel : image.pixels) pixel &= 0x00ffffffu;
    }
    DeleteObject(loaded);
    return ok ? makeBitmap(image) : nullptr;
}

}  // namespace

HBITMAP loadPicture(HINSTANCE instance, unsigned bitmapId, unsigned dpi) {
    if (dpi == 96) return loadResourcePicture(instance, bitmapId);
    const Master* master = nullptr;
    for (const Master& m : masters) {
        if (m.bitmapId == bitmapId) master = &m;
    }
    if (master == nullptr || dpi == 0 || dpi > 96 * 16) return nullptr;

    PixelImage source;
    if (!decodePng(instance, master->masterId, source)) return nullptr;
    const int width = source.width / master->scale;
    const int height = source.height / (master->scale * master->frames);
    if (width * master->scale != source.width ||
        height * master->scale * master->frames != source.height) {
        return nullptr;
    }
    const int d = static_cast<int>(dpi);
    const PixelImage scaled =
        scaleStrip(source, master->frames, MulDiv(width, d, 96), MulDiv(height, d, 96));
    return scaled.pixels.empty() ? nullptr : makeBitmap(scaled);
}

PictureCodecs::PictureCodecs() : keeps(!kept.active) {
    if (!keeps) return;
    kept = Kept{};
    kept.active = true;
    kept.thread = GetCurrentThreadId();
}

PictureCodecs::~PictureCodecs() {
    if (!keeps) return;
    if (kept.factory != nullptr) kept.factory->Release();
    if (kept.started && SUCCEEDED(kept.com)) CoUninitialize();
    kept = Kept{};
}
