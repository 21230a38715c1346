// Finding a window's controls by their object names. A control that is not
// there fails the test and stops it at once (through an exception that the
// test runner reports), so that no test goes on with a null pointer.
#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace tessaro::test {

class MissingControl : public std::runtime_error {
 public:
  explicit MissingControl(const QString& name) : std::runtime_error("no control named " + name.toStdString()) {}
};

template <class T>
T* control(const QObject* parent, const QString& name) {
  T* found = parent ? parent->findChild<T*>(name) : nullptr;
  if (!found) {
    ADD_FAILURE() << "no control named " << name.toStdString();
    throw MissingControl(name);
  }
  return found;
}

}  // namespace tessaro::test
