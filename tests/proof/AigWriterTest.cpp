#include "proof/Aig.h"

#include <gtest/gtest.h>

// x, y inputs; q a latch loaded with g AND NOT q, g = x AND y made twice
// (once with the operands swapped, so it must be shared); outputs NOT h
// and q. Variables: x 1, y 2, q 3, g 4, h 5.
TEST(AigWriter, TinyCircuitInBothFormsAsWorkedOutByHand)
{
    Aig aig;
    const Aig::Lit x = aig.addInput(QStringLiteral("x"));
    const Aig::Lit y = aig.addInput(QStringLiteral("y"));
    const Aig::Lit q = aig.addLatch(QStringLiteral("q"));
    const Aig::Lit g = aig.makeAnd(x, y);
    EXPECT_EQ(aig.makeAnd(y, x), g);
    EXPECT_EQ(aig.makeAnd(g, Aig::negate(g)), Aig::False);
    const Aig::Lit h = aig.makeAnd(g, Aig::negate(q));
    aig.setNext(0, h);
    aig.addOutput(Aig::negate(h), QStringLiteral("не h"));
    aig.addOutput(q, QStringLiteral("q"));

    const QByteArray symbols = QByteArray("i0 x\ni1 y\nl0 q\no0 ") + QStringLiteral("не h").toUtf8() + "\no1 q\n";
    EXPECT_EQ(WriteAag(aig), QByteArray("aag 5 2 1 2 2\n2\n4\n6 10\n11\n6\n8 4 2\n10 8 7\n") + symbols);
    EXPECT_EQ(WriteBinaryAig(aig), QByteArray("aig 5 2 1 2 2\n10\n11\n6\n\x04\x02\x02\x01") + symbols);
}

// A gate far above one of its operands: the second delta, 140 - 2 = 138,
// takes two bytes (0x8a 0x01).
TEST(AigWriter, BinaryDeltasOfSevenBitsAByte)
{
    Aig aig;
    for (int k = 0; k < 70; ++k)
        aig.addInput(QString());
    aig.addOutput(aig.makeAnd(2, 140), QString());
    EXPECT_EQ(WriteBinaryAig(aig), QByteArray("aig 71 70 0 1 1\n142\n\x02\x8a\x01"));
}
