#include "shell/PictureEx.h"

#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <QBuffer>
#include <QImageReader>
#include <QMovie>

CPictureEx::CPictureEx(QWidget* pParent) : QLabel(pParent) {
    setAlignment(Qt::AlignCenter);
    SetBkColor(Qt::white);
}

CPictureEx::~CPictureEx() {
    UnLoad();
}

bool CPictureEx::Load(const std::string& fileName) {
    const auto data = platform::ReadWholeFile(fileName, 16u << 20);
    if (!data) {
        platform::LogVerbose("Load (file): Error opening file " + fileName);
        return false;
    }
    return Load(reinterpret_cast<const unsigned char*>(data->data()), data->size());
}

bool CPictureEx::Load(const unsigned char* pData, std::size_t size) {
    UnLoad();
    // A few hundred bytes of GIF can declare a frame of gigabytes. Qt's readers (QMovie reads
    // through one) refuse any picture whose pixels would take more than this, before they
    // allocate: 16 million pixels of four bytes, the bound skin bitmaps have too. The limit
    // is process-wide; every other picture the program decodes is far smaller.
    QImageReader::setAllocationLimit(kMaxDecodedMiB);
    m_data = QByteArray(reinterpret_cast<const char*>(pData), qsizetype(size));
    m_pBuffer = new QBuffer(&m_data);
    m_pBuffer->open(QIODevice::ReadOnly);
    m_pMovie = new QMovie(m_pBuffer, QByteArray());
    m_pMovie->setCacheMode(QMovie::CacheAll);
    if (m_pMovie->isValid() && m_pMovie->frameCount() > 1) {
        m_nFrames = m_pMovie->frameCount();
        return true;
    }
    // One frame, or no GIF at all: the system's picture loader takes the data whole.
    delete m_pMovie;
    m_pMovie = nullptr;
    if (!m_picture.loadFromData(m_data)) {
        platform::LogVerbose("Load: the data is no picture");
        UnLoad();
        return false;
    }
    m_nFrames = 1;
    return true;
}

bool CPictureEx::Draw() {
    if (m_nFrames == 0) {
        platform::LogVerbose(
            "Call one of the CPictureEx::Load() member functions before calling Draw()");
        return false;
    }
    if (!m_pMovie) {
        setPixmap(m_picture);
        return true;
    }
    setMovie(m_pMovie);
    m_pMovie->start();
    return m_pMovie->state() == QMovie::Running;
}

void CPictureEx::Stop() {
    if (m_pMovie)
        m_pMovie->stop();
}

bool CPictureEx::IsPlaying() const {
    return m_pMovie && m_pMovie->state() == QMovie::Running;
}

void CPictureEx::UnLoad() {
    Stop();
    clear();
    delete m_pMovie;
    m_pMovie = nullptr;
    delete m_pBuffer;
    m_pBuffer = nullptr;
    m_data.clear();
    m_picture = QPixmap();
    m_nFrames = 0;
}

void CPictureEx::SetBkColor(const QColor& colour) {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
}
