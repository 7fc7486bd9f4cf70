#pragma once
// A panel's background image, shared by the panel and the controls on it: each control copies
// the part beneath it, so that it shows the panel through its own window. The image is taken
// from the panel's element before every use, so a new skin shows at once. UI thread only.

#include <QImage>
#include <QPoint>
#include <QRect>

namespace orvel {

class SkinDescription;

class BackgroundPicture {
 public:
  BackgroundPicture(SkinDescription& description, int elementIndex);

  // Copies source (the whole image when null) of the image to destination, as it is.
  void draw(QPainter& painter, const QRect& source, QPoint destination = QPoint());

  // The image's size; 0 x 0 when the element has no image.
  int width();
  int height();
  int elementIndex() const { return m_elementIndex; }

 private:
  void refresh();

  SkinDescription& m_description;
  int m_elementIndex;
  QImage m_image;
};

}  // namespace orvel
