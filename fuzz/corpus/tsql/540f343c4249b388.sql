INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FOperator,FExchangeRate) VALUES (91,'D8','D8','/',8)
INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FOperator,FExchangeRate) VALUES (92,'M8','M8','*',8)
INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FOperator,FExchangeRate) VALUES (93,'M0','M0','*',0)
INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FOperator,FExchangeRate) VALUES (94,'D0','D0','/',0)