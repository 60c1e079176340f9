#include "discovery/VelmacorDevice.h"

#include <QDomDocument>
#include <QDomElement>
#include <QDomNodeList>

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

}  // namespace

void TVelmacorDevice::Parse(const QByteArray& reply, const QString& fromIP) {
  QDomDocument document;
  if (document.setContent(QString::fromLatin1(reply))) {
    const QDomNodeList elements = document.elementsByTagName(QStringLiteral("*"));
    for (int i = 0; i < elements.size(); ++i) {
      const QDomElement element = elements.item(i).toElement();
      if (!InsideVelmacorDevice(element)) continue;
      for (const TReplyField& f : kFields)
        if (element.tagName() == QLatin1String(f.element)) this->*f.field = element.text();
    }
  }
  IPAddress = fromIP;
}

QStringList TVelmacorDevice::Columns() const {
  return {IPAddress, DeviceClass, DeviceName, SerialNumber, Version, CustomID, MACAddress, TCPPort, Hostname};
}
