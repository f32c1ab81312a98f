#include "documents/Document.h"

std::string WindowCaption(const DocumentState& doc) {
  if (doc.CurrentFileName.empty()) return "Quorvane [UNTITLED]";
  std::string caption = "Quorvane ";
  caption.append(doc.CurrentFileName);
  return caption;
}
