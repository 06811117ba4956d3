// The language's arithmetic, logical and comparison operators over mixed integer
// and string operands. Each works in place: the first operand receives the result.
#pragma once

#include "lang/VXStr.h"

// Subtraction; on a string target appends "-" and the operand. Returns 0.
int SUB(int& a, int b);
int SUB(int& a, VXStr b);
int SUB(VXStr& a, int b);
int SUB(VXStr& a, VXStr b);

// Multiplication; on a string target appends "*" and the operand. Returns 0.
int MUL(int& a, int b);
int MUL(int& a, VXStr b);
int MUL(VXStr& a, int b);
int MUL(VXStr& a, VXStr b);

// Division truncated toward zero; 6 (recorded) on an integer division by zero,
// target unchanged. On a string target appends "/" and the operand. Returns 0 otherwise.
int DIV(int& a, int b);
int DIV(int& a, VXStr b);
int DIV(VXStr& a, int b);
int DIV(VXStr& a, VXStr b);

// a = 1 when b is 0, else 0; the old value of a plays no part.
void NOT(int& a, int b);
void NOT(VXStr& a, int b);
// Bitwise or; a string target is read as an integer and receives decimal text.
void OR(int& a, int b);
void OR(VXStr& a, int b);
// Bitwise and; a string target is read as an integer and receives decimal text.
void AND(int& a, int b);
void AND(VXStr& a, int b);

// Comparisons: the target becomes 1 ("1") when the test holds, else 0 ("0").
// Mixed forms compare as integers; two strings compare as unsigned bytes.
void SAME(int& a, int b);
void SAME(int& a, VXStr b);
void SAME(VXStr& a, int b);
void SAME(VXStr& a, VXStr b);

void NSAME(int& a, int b);
void NSAME(int& a, VXStr b);
void NSAME(VXStr& a, int b);
void NSAME(VXStr& a, VXStr b);

void BIGGER(int& a, int b);
void BIGGER(int& a, VXStr b);
void BIGGER(VXStr& a, int b);
void BIGGER(VXStr& a, VXStr b);

void BIG_EQ(int& a, int b);
void BIG_EQ(int& a, VXStr b);
void BIG_EQ(VXStr& a, int b);
void BIG_EQ(VXStr& a, VXStr b);

void SMAL_EQ(int& a, int b);
void SMAL_EQ(int& a, VXStr b);
void SMAL_EQ(VXStr& a, int b);
void SMAL_EQ(VXStr& a, VXStr b);

void SMALER(int& a, int b);
void SMALER(int& a, VXStr b);
void SMALER(VXStr& a, int b);
void SMALER(VXStr& a, VXStr b);
