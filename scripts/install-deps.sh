#!/usr/bin/env bash
# Installs everything this project needs on Debian 12 (MinGW-w64, Wine with
# 32-bit support, Xvfb, CJK fonts, the zh_CN.UTF-8 locale, CMake, GoogleTest,
# and the language data the phrase list is checked with: MeCab with its IPA
# dictionary, Rime's luna-pinyin word table, OpenCC and librime; and Chromium
# with its WebDriver and Selenium, which test the phrasebook page in a real browser,
# and the Noto CJK fonts its screenshot draws Japanese with).
# Safe to run again: it only installs what is missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PKGS=(cmake ninja-build g++ make libgtest-dev googletest pkg-config
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 fonts-dejavu-core
      wine wine64 xvfb xauth imagemagick xdotool zip unzip
      fonts-wqy-microhei fonts-wqy-zenhei fonts-wine locales
      python3
      mecab mecab-ipadic-utf8 python3-mecab rime-data-luna-pinyin opencc
      librime-dev librime-data librime-bin
      chromium chromium-driver python3-selenium fonts-noto-cjk)

missing=()
for p in "${PKGS[@]}" wine32:i386; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "Dependencies are in place."
