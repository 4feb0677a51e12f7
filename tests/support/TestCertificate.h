#pragma once

#include <QString>

// A self-signed server certificate made for a test, trusted by nobody unless the test says so.
struct TestCertificate {
    QString certificate; // PEM file
    QString key;         // PEM file
    bool ok = false;
};

// Makes cert.pem and key.pem in dir for subjectAltName, for instance "IP:127.0.0.1" or
// "DNS:other.example".
TestCertificate makeTestCertificate(const QString& dir, const QString& subjectAltName);
