// Identifiers of the program's resources, shared by the resource script and the code.
#pragma once

#define IDI_PROGRAM 1
#define IDI_POINTER 2
#define IDI_ARROW_POINTER 3
#define IDI_HAND_POINTER 4
#define IDI_FACE_POINTER 5
#define IDR_VENDOR_LOGO 10
#define IDR_HELP_ILLUSTRATION 11
