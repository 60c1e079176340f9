#include "discovery/VelmacorDevice.h"

#include <QDomDocument>
#include <QDomElement>

namespace {

struct TReplyField {
  const char* element;
  QString TVelmacorDevice::*field;
};

constexpr TReplyField kFields[] = {
    {"class", &TVelmacorDevice::DeviceClass},    {"name", &TVelmacorDevice::DeviceName},
    {"serialnumber", &TVelmacorDevice::SerialNumber}, {"version", &TVelmacorDevice::Version},
    {"macaddress", &TVelmacorDevice::MACAddress}, {"customid", &TVelmacorDevice::CustomID},
    {"tcpport", &TVelmacorDevice::TCPPort},      {"hostname", &TVelmacorDevice::Hostname},
};

// True for an element below a "device" element that is itself below a "velmacor".
bool InsideVelmacorDevice(const QDomElement& element) {
  bool belowDevice = false;
  for (QDomNode n = element.parentNode(); n.isElement(); n = n.parentNode()) {
    if (belowDevice && n.nodeName() == QLatin1String("velmacor")) return true;
    if (n.nodeName() == QLatin1String("device")) belowDevice = true;
  }
  return false;
}

QDomElement NextInDocumentOrder(const QDomElement& element) {
  if (const QDomElement child = element.firstChildElement(); !child.isNull()) return child;
  for (QDomNode n = element; n.isElement(); n = n.parentNode())
    if (const QDomElement sibling = n.nextSiblingElement(); !sibling.isNull()) return sibling;
  return {};
}

}  // namespace

void TVelmacorDevice::Parse(const QByteArray& reply, const QString& fromIP) {
  QDomDocument document;
  if (document.setContent(QString::fromLatin1(reply))) {
    // Every element in document order, without recursion however deep the nesting.
    for (QDomElement e = document.documentElement(); !e.isNull(); e = NextInDocumentOrder(e)) {
      if (!InsideVelmacorDevice(e)) continue;
      for (const TReplyField& f : kFields)
        if (e.tagName() == QLatin1String(f.element)) this->*f.field = e.text();
    }
  }
  IPAddress = fromIP;
}

QStringList TVelmacorDevice::Columns() const {
  return {IPAddress, DeviceClass, DeviceName, SerialNumber, Version, CustomID, MACAddress, TCPPort, Hostname};
}
