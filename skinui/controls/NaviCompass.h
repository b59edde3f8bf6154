// The heading compass in the top left corner: one of 37 images by heading index.
#pragma once

#include "skinui/NaviControl.h"

class NaviCompass : public NaviControl {
public:
    static constexpr int kImages = 37;

    NaviCompass();
    ~NaviCompass() override;

    void OnPenDown() override { m_pressed = true; }
    void OnPenUp() override {}
    int HitTest(int x, int y) override;
    void LoadImages(NaviRcBuilder* builder) override;
    void Draw(CDC* dc) override;
    void ProcessCommand(NaviCommand& cmd) override;

    void SetHeadingIndex(int index) { m_headingIndex = index; }
    void DrawHeading(CDC* dc, int index);
    // The image drawn for a heading index: 0 and 36 their own, 1..35 counted back from 35; -1
    // for indices outside 0..36.
    static int ImageFor(int index);
    bool IsHidden() const { return m_hidden; }

private:
    int m_headingIndex = 0;
    NaviBitmap* m_images[kImages] = {};
    bool m_hidden = false;
};
