#include "PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <charconv>
#include <stdexcept>
#include <vector>

#include "common/Cipher.h"

namespace {

constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHashBytes = 32;

std::vector<unsigned char> Derive(std::string_view secret, const std::string& salt,
                                  unsigned iterations) {
    std::vector<unsigned char> out(kHashBytes);
    if (PKCS5_PBKDF2_HMAC(secret.data(), static_cast<int>(secret.size()),
                          reinterpret_cast<const unsigned char*>(salt.data()),
                          static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                          static_cast<int>(out.size()), out.data()) != 1)
        throw std::runtime_error("PBKDF2 failed");
    return out;
}

std::string RandomBytes(std::size_t n) {
    std::string s(n, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(s.data()), static_cast<int>(n)) != 1)
        throw std::runtime_error("no random bytes");
    return s;
}

}  // namespace

std::string HashPassword(std::string_view secret, unsigned iterations) {
    std::string salt = RandomBytes(kSaltBytes);
    auto hash = Derive(secret, salt, iterations);
    return "pbkdf2-sha256$" + std::to_string(iterations) + "$" + HexEncode(salt) + "$" +
           HexEncode(std::string_view(reinterpret_cast<const char*>(hash.data()), hash.size()));
}

bool VerifyPassword(std::string_view secret, std::string_view stored) {
    constexpr std::string_view kPrefix = "pbkdf2-sha256$";
    if (stored.substr(0, kPrefix.size()) != kPrefix)
        return false;
    stored.remove_prefix(kPrefix.size());
    auto d1 = stored.find('$');
    if (d1 == std::string_view::npos)
        return false;
    auto d2 = stored.find('$', d1 + 1);
    if (d2 == std::string_view::npos)
        return false;
    unsigned iterations = 0;
    auto it = stored.substr(0, d1);
    auto [p, ec] = std::from_chars(it.data(), it.data() + it.size(), iterations);
    if (ec != std::errc() || p != it.data() + it.size() || iterations == 0 || iterations > 10000000)
        return false;
    std::string salt, expected;
    try {
        salt = HexDecode(stored.substr(d1 + 1, d2 - d1 - 1));
        expected = HexDecode(stored.substr(d2 + 1));
    } catch (const std::exception&) {
        return false;
    }
    if (expected.size() != kHashBytes || salt.empty())
        return false;
    auto got = Derive(secret, salt, iterations);
    return CRYPTO_memcmp(got.data(), expected.data(), kHashBytes) == 0;
}

std::string RandomPassword(std::size_t count) {
    static constexpr char kAlphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz23456789";
    constexpr std::size_t n = sizeof(kAlphabet) - 1;
    std::string out;
    while (out.size() < count) {
        for (unsigned char b : RandomBytes(count)) {
            // Reject the top of the byte range so every character is equally likely.
            if (b >= 256 / n * n)
                continue;
            out.push_back(kAlphabet[b % n]);
            if (out.size() == count)
                break;
        }
    }
    return out;
}
