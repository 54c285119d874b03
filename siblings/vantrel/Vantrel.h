#pragma once
// Vantrel: the suite's drawing library (stand-in). It reads the thumbnails
// stored in DWG and DXF drawings, opens DXF drawings (ASCII and binary) and
// renders their entities into an enhanced metafile, and offers a viewer
// window with fit, zoom and pan.
#include <windows.h>
#include "pardo/afx/Strings.h"
#include "pardo/afx/Wnd.h"

#if defined(VANTREL_BUILD)
#define VANTREL_API __declspec(dllexport)
#else
#define VANTREL_API __declspec(dllimport)
#endif

// A byte array of the drawing SDK's records.
class VANTREL_API OdBinaryData {
public:
    OdBinaryData();
    OdBinaryData(const OdBinaryData& other);
    OdBinaryData& operator=(const OdBinaryData& other);
    ~OdBinaryData();

    bool isEmpty() const { return m_nSize == 0; }
    UINT size() const { return m_nSize; }
    const BYTE* asArrayPtr() const { return m_pData; }
    BYTE* asArrayPtr() { return m_pData; }
    // Replaces the contents with a copy; false (and empty) when out of memory.
    bool assign(const BYTE* data, UINT size);
    void clear();

private:
    BYTE* m_pData = nullptr;
    UINT m_nSize = 0;
};

// The thumbnail stored in a drawing: header data, a packed DIB (bmp) and a
// Windows metafile (wmf). PNG thumbnails are handed over as a DIB.
struct VANTREL_API OdThumbnailImage {
    OdBinaryData header;
    OdBinaryData bmp;
    OdBinaryData wmf;
    bool hasBmp() const { return !bmp.isEmpty(); }
    bool hasWmf() const { return !wmf.isEmpty(); }
};

namespace Vantrel {
class CDrawing;
}

// An opened drawing. Deleted by its owner through the virtual destructor.
class VANTREL_API QRNACADDocument {
public:
    explicit QRNACADDocument(Vantrel::CDrawing* drawing);
    virtual ~QRNACADDocument();
    QRNACADDocument(const QRNACADDocument&) = delete;
    QRNACADDocument& operator=(const QRNACADDocument&) = delete;

    // The whole drawing fitted into width by height logical units (aspect
    // kept, on white paper); the caller deletes the metafile. Null on
    // failure.
    virtual HENHMETAFILE GetEnhancedMetaFileHandle(int width, int height);
    const Vantrel::CDrawing* GetDrawing() const { return m_pDrawing; }

private:
    Vantrel::CDrawing* m_pDrawing;
};

// Reads drawings. The session remembers the last drawing it was asked
// about: the viewer shows that one.
class VANTREL_API QRNACADSession {
public:
    QRNACADSession();
    virtual ~QRNACADSession();
    QRNACADSession(const QRNACADSession&) = delete;
    QRNACADSession& operator=(const QRNACADSession&) = delete;

    // Fills the record from the drawing's stored thumbnail; false when there
    // is none or the file cannot be read.
    bool GetThumbnail(CString path, OdThumbnailImage* thumbnail) { return ReadThumbnail(path.GetString(), thumbnail); }
    // A new document owned by the caller, or null: DXF drawings are opened
    // whole, DWG drawings only through their thumbnail.
    QRNACADDocument* GetACADDocument(CString path, bool readOnly, bool recover, CString password)
    {
        return OpenDocument(path.GetString(), readOnly, recover, password.GetString());
    }

    virtual bool ReadThumbnail(const char* path, OdThumbnailImage* thumbnail);
    virtual QRNACADDocument* OpenDocument(const char* path, bool readOnly, bool recover, const char* password);

    // The drawing last asked about ("" before any) and a counter that
    // changes with it.
    const char* GetCurrentPath() const { return m_szPath; }
    UINT GetCurrentSerial() const { return m_nSerial; }

protected:
    void SetCurrentPath(const char* path);

private:
    char m_szPath[MAX_PATH] = "";
    UINT m_nSerial = 0;
};

enum QRNACADSESSIONGS_DEVICE_TYPE { QRNACADSESSIONGS_DEVICE_GDI = 0, QRNACADSESSIONGS_DEVICE_BITMAP = 1 };

// The session of a viewer, drawing through a device type.
class VANTREL_API QRNACADSessionGS : public QRNACADSession {
public:
    explicit QRNACADSessionGS(QRNACADSESSIONGS_DEVICE_TYPE device = QRNACADSESSIONGS_DEVICE_GDI);
    ~QRNACADSessionGS() override;
    QRNACADSESSIONGS_DEVICE_TYPE GetDeviceType() const { return m_device; }

private:
    QRNACADSESSIONGS_DEVICE_TYPE m_device;
};

class VANTREL_API CQRNACADView {
public:
    explicit CQRNACADView(QRNACADSESSIONGS_DEVICE_TYPE device);
    ~CQRNACADView();
    CQRNACADView(const CQRNACADView&) = delete;
    CQRNACADView& operator=(const CQRNACADView&) = delete;
    QRNACADSessionGS* GetSession() { return &m_session; }

private:
    QRNACADSessionGS m_session;
};

// The interactive viewer: a child window that shows the session's current
// drawing, with a tool bar (fit, zoom in, zoom out; drag to pan, wheel to
// zoom) and an optional context menu.
class VANTREL_API CQRNACADViewer {
public:
    enum { kToolBarId = 100, kCmdFit = 40001, kCmdZoomIn = 40002, kCmdZoomOut = 40003 };

    explicit CQRNACADViewer(QRNACADSESSIONGS_DEVICE_TYPE device = QRNACADSESSIONGS_DEVICE_GDI);
    ~CQRNACADViewer();
    CQRNACADViewer(const CQRNACADViewer&) = delete;
    CQRNACADViewer& operator=(const CQRNACADViewer&) = delete;

    CQRNACADView* GetView() { return &m_view; }

    bool Create(CWnd* parent, const RECT& rc, UINT id, DWORD style, QRNACADSESSIONGS_DEVICE_TYPE device)
    {
        return CreateWindowIn(parent ? parent->GetSafeHwnd() : nullptr, rc, id, style, device);
    }
    bool CreateWindowIn(HWND parent, const RECT& rc, UINT id, DWORD style, QRNACADSESSIONGS_DEVICE_TYPE device);
    void DestroyWindow();
    // Loads the session's current drawing and fits it.
    void InitView();
    void SetToolBarEnabled(bool enabled);
    void SetContextMenuEnabled(bool enabled);
    bool IsToolBarEnabled() const { return m_bToolBar; }
    bool IsContextMenuEnabled() const { return m_bContextMenu; }

    HWND GetSafeHwnd() const { return m_hWnd; }
    bool IsWindowVisible() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
    void ShowWindow(int command) { if (m_hWnd) ::ShowWindow(m_hWnd, command); }

    // View state: zoom factor over the fitted drawing and pan in pixels.
    double GetZoom() const { return m_zoom; }
    POINT GetPan() const { return m_pan; }
    void Fit();
    void Zoom(double factor);
    void Pan(int dx, int dy);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Reload();
    void Layout();
    void Paint(HDC dc);
    RECT DrawingArea() const;

    CQRNACADView m_view;
    HWND m_hWnd = nullptr;
    HWND m_hToolBar = nullptr;
    HENHMETAFILE m_hPicture = nullptr;
    UINT m_nLoadedSerial = ~0u;
    bool m_bToolBar = false;
    bool m_bContextMenu = true;
    bool m_bDragging = false;
    POINT m_dragFrom = {0, 0};
    double m_zoom = 1.0;
    POINT m_pan = {0, 0};
};
