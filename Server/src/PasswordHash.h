// Salted password hashes: "pbkdf2-sha256$<iterations>$<salt hex>$<hash hex>".
// The hall never sees a plain password, only its MD5 hex, so that digest is
// the secret hashed here.
#pragma once

#include <string>
#include <string_view>

std::string HashPassword(std::string_view secret, unsigned iterations);
// Constant-time comparison; false for a malformed stored value.
bool VerifyPassword(std::string_view secret, std::string_view stored);
// `count` random letters and digits, without look-alikes such as 0/O and 1/l
// (visitor passwords).
std::string RandomPassword(std::size_t count);
