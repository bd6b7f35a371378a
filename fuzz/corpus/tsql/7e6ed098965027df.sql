SELECT CASE WHEN RTRIM(t2.FOperator)='*' THEN ISNULL(t1.FSELowPrice,0)*t2.FExchangeRate
 ELSE ISNULL(t1.FSELowPrice,0)/t2.FExchangeRate END AS FSELowPrice
FROM t_Cust t1 INNER JOIN t_Currency t2 ON t1.FCurrencyID=t2.FCurrencyID
WHERE t1.FCustID=900113And t1.FItemID=900301