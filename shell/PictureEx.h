// A picture control that plays GIF animations: every frame keeps its delay and disposal
// method, and the animation loops. Data that is not an animated GIF is shown as one picture.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QLabel>
#include <string>

class QBuffer;
class QMovie;

class CPictureEx : public QLabel {
public:
    // Pictures whose decoded pixels would take more than this are refused.
    static constexpr int kMaxDecodedMiB = 64;

    explicit CPictureEx(QWidget* pParent = nullptr);
    ~CPictureEx() override;

    // False (and the control stays empty) when the data is no picture.
    bool Load(const std::string& fileName);
    bool Load(const unsigned char* pData, std::size_t size);

    // Shows the picture; several frames start the animation.
    bool Draw();
    // Ends the animation.
    void Stop();
    void UnLoad();
    void SetBkColor(const QColor& colour);

    int GetFrameCount() const { return m_nFrames; }
    bool IsPlaying() const;

private:
    QByteArray m_data;
    QBuffer* m_pBuffer = nullptr;
    QMovie* m_pMovie = nullptr;
    QPixmap m_picture;
    int m_nFrames = 0;
};
