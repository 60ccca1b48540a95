#pragma once
// A temporary folder for a test, with helpers to put and inspect raw file bytes.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

class TempFolder {
 public:
  QString Path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
  QString Folder() const { return dir_.path(); }

  static void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
  }

  static QByteArray Get(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
  }

 private:
  QTemporaryDir dir_;
};
