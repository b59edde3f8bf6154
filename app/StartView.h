// The view the start-up opens the document with until the main view takes its place: it runs the
// drawing-configuration part of the first-time loading and paints the map's background colour.
#pragma once

#include "platform/window/Afx.h"

class CMainDoc;

class CStartView : public CView {
    DECLARE_DYNCREATE(CStartView)
public:
    CMainDoc* GetMainDoc() const;
    // The display's colours into the document, then "para.bin", the colour scheme, "line.bin"
    // and "level.bin"; a file that fails shows string 214 (stop icon) and answers false.
    bool InitFirstTime();
    void OnDraw(CDC* dc) override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
};

// The drawing files of the first-time loading, in their order; false at the first that fails
// (after string 214 is shown).
bool LoadDrawingFiles(CMainDoc& doc, int displayColours);
