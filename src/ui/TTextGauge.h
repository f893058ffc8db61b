#pragma once

#include "ui/EInvalidOperation.h"

#include "prefs/PrefTypes.h"

#include <QImage>
#include <QWidget>

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum TTextKind { tkPercentDone, tkValueDone, tkValueRemaining, tkPercentRemaining };

// A drawn gauge of a value between two bounds, as a bar, a pie or a needle dial, with a text in
// its middle; the figure and the text are combined by exclusive-or, so the text shows in the
// inverse colour of what lies beneath. Past the alert value it takes the alert colour.
class TTextGauge : public QWidget {
    Q_OBJECT
public:
    enum TBorderStyle { bsNone, bsSingle };
    static constexpr TColor kAlertColor = 0xA2A2EE;

    explicit TTextGauge(QWidget* aParent = nullptr);

    bool CustomText() const { return m_customText; }
    void SetCustomText(bool aCustom);
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor aColor);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle aStyle);
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor aColor);
    // The colour around the pie and the dial.
    TColor Color() const { return m_color; }
    void SetColor(TColor aColor);
    TGaugeKind GaugeKind() const { return m_gaugeKind; }
    void SetGaugeKind(TGaugeKind aKind);
    int MinValue() const { return m_minValue; }
    // Throws EInvalidOperation for a value above MaxValue, except while loading.
    void SetMinValue(int aValue);
    int MaxValue() const { return m_maxValue; }
    // Throws EInvalidOperation for a value below MinValue, except while loading.
    void SetMaxValue(int aValue);
    int AlertValue() const { return m_alertValue; }
    void SetAlertValue(int aValue);
    int Progress() const { return m_progress; }
    // Kept within [MinValue, MaxValue].
    void SetProgress(int aValue);
    bool ShowText() const { return m_showText; }
    void SetShowText(bool aShow);
    // The pattern of the value texts (one integer placeholder such as "%d"), or the fixed text.
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& aCaption);
    TTextKind TextKind() const { return m_textKind; }
    void SetTextKind(TTextKind aKind);

    // While loading the bounds may pass each other; EndLoading puts them and the value in order.
    void BeginLoading() { m_loading = true; }
    void EndLoading();
    bool Loading() const { return m_loading; }

    int PercentDone() const;
    // ForeColor, or the alert colour past the alert value.
    TColor FillColor() const;
    // The text drawn over the figure.
    QString DisplayText() const;
    // What the gauge paints, at its size.
    QImage Picture() const;

    // aPattern with each integer placeholder ("%d", "%5d", "%.3d", "%x", "%u") filled with
    // aValue and "%%" as "%"; anything else is left as written.
    static QString FormatValue(const QString& aPattern, qint64 aValue);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void Changed();
    QRect FigureArea() const;
    void PaintFigure(QImage& aLayer, const QRect& aArea) const;
    void PaintText(QImage& aLayer, const QRect& aArea) const;

    bool m_customText = false;
    TColor m_backColor = 0xFFFFFF;
    TBorderStyle m_borderStyle = bsSingle;
    TColor m_foreColor = 0xC0DCC0;
    TColor m_color = TColor(0xFF00000F); // button face
    TGaugeKind m_gaugeKind = gkHorizontalBar;
    int m_minValue = 0;
    int m_maxValue = 100;
    int m_alertValue = 80;
    int m_progress = 0;
    bool m_showText = true;
    QString m_caption = QStringLiteral("%d");
    TTextKind m_textKind = tkValueDone;
    bool m_loading = false;
};
